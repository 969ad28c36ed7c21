#pragma once
// The maker's address and support contacts, as the About box shows them and
// opens them. Placeholders: the one place to put real ones.

namespace tlvFormControls::MakerInfo {

inline constexpr const char* kStreet = "1 Example Street";
inline constexpr const char* kCity = "Exampleton";
inline constexpr const char* kPostalCode = "EX1 2AB";
inline constexpr const char* kSupportEmail = "support@example.com";
// Shown in the label; kWebLink is what a click opens.
inline constexpr const char* kWebAddress = "www.example.org";
inline constexpr const char* kWebLink = "http://www.example.org/";

} // namespace tlvFormControls::MakerInfo
