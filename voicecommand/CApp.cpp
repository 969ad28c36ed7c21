#include "voicecommand/CApp.h"

#include <filesystem>

#include "runtime/core/App.h"
#include "runtime/core/Error.h"
#include "runtime/core/Strings.h"
#include "runtime/forms/FormRef.h"
#include "runtime/forms/Host.h"
#include "runtime/platform/desktop/User32.h"
#include "runtime/platform/keyboard/SendKeys.h"
#include "runtime/platform/shell/Shell32.h"
#include "voicecommand/RunningApps.h"
#include "voicecommand/frmApp.h"
#include "voicecommand/frmQuibo.h"

namespace {

constexpr int kTextBuffer = 256;

// Pieces of an application record, each cut at the first occurrence of its
// separator; nothing in a record is escaped. Views into the record, since the
// dispatch cuts every record of the file for every phrase.
std::string_view before(std::string_view s, char sep) { return s.substr(0, s.find(sep)); }

bool has(std::string_view s, char sep) { return s.find(sep) != std::string_view::npos; }

// The piece before the first `sep`, found with one look; false without one.
bool cutBefore(std::string_view s, char sep, std::string_view& piece) {
    size_t at = s.find(sep);
    piece = s.substr(0, at);
    return at != std::string_view::npos;
}

// Whether `text` equals `upper` (already in upper case) but for case.
bool equalsUpper(std::string_view text, std::string_view upper) {
    if (text.size() != upper.size())
        return false;
    for (size_t i = 0; i < text.size(); ++i)
        if (static_cast<char>(rt::upperAnsi(static_cast<unsigned char>(text[i]))) != upper[i])
            return false;
    return true;
}

// The text after the record's first "*", or the whole record.
std::string_view restOf(std::string_view record) {
    size_t star = record.find('*');
    return star == std::string_view::npos ? record : record.substr(star + 1);
}

// The vocabulary piece as the dispatch reads it: after rest's first "~" (all
// of rest without one) and before the first "$" after it; false when no "$"
// follows.
bool vocabularyOf(std::string_view record, std::string& vocabulary) {
    std::string_view rest = restOf(record);
    size_t tilde = rest.find('~');
    std::string_view tail = tilde == std::string_view::npos ? rest : rest.substr(tilde + 1);
    size_t dollar = tail.find('$');
    vocabulary.assign(tail.substr(0, dollar));
    return dollar != std::string_view::npos;
}

std::string_view pathOf(std::string_view record) {
    size_t dollar = record.find('$');
    return dollar == std::string_view::npos ? record : record.substr(dollar + 1);
}

} // namespace

rt::Collection& CApp::TempStore() {
    if (!m_tempStore)
        m_tempStore = std::make_unique<rt::Collection>();
    return *m_tempStore;
}

void CApp::FillVACListBox() {
    rt::skipFailure([&] { m_file.InitRecord(); });
    rt::skipFailure([&] { m_file.FileOpen(false, ""); });
    m_file.ForEachRecord([&](std::string_view record) {
        if (!has(record, '*') || before(record, '*').empty())
            return false;
        rt::skipFailure([&] {
            std::string buffer;
            rt::form<frmApp>()->lstVAppCmd.AddItem(
                std::string(RunningApps::StoredKeyText(before(record, '*'), buffer)), m_file.RecordNumber() - 1);
        });
        return true;
    }, [] {
        // A damaged record holds no key either: line i stays record i + 1.
        return false;
    });
    rt::skipFailure([&] { m_file.FileClose(); });
}

void CApp::VAppAdd(const std::string& sAppName, int16_t /*iRecNumber*/, bool bCreateFromNew) {
    m_file.FileOpen(false, "");
    m_file.InitRecord();
    m_file.ForEachRecord([](std::string_view record) { return !record.empty(); });
    m_file.FileStore(bCreateFromNew ? sAppName : RunningApps::StoreWindowKey(sAppName) + "*",
                     m_file.RecordNumber());
    m_file.IncrementRecord();
    m_file.FileClose();
}

std::string CApp::UserDefinedName(int16_t /*iRecord*/) {
    std::string record;
    rt::skipFailure([&] { m_file.FileOpen(false, ""); });
    rt::skipFailure([&] {
        record = m_file.FileRead(static_cast<int16_t>(rt::form<frmApp>()->lstVAppCmd.ListIndex() + 1));
    });
    std::string name, vocabulary = m_VocabularyName, path;
    size_t star = record.find('*');
    size_t tilde = record.find('~');
    if (tilde != std::string::npos) {
        size_t from = star == std::string::npos ? 0 : star + 1;
        name = tilde >= from ? record.substr(from, tilde - from) : std::string();
        size_t dollar = record.find('$', tilde + 1);
        if (tilde == 0)
            vocabulary.clear();
        else if (dollar != std::string::npos && dollar >= 2)
            vocabulary = record.substr(tilde + 1, dollar - tilde - 1);
    } else {
        vocabulary.clear();
    }
    if (has(record, '$'))
        path = record.substr(record.find('$') + 1);
    rt::skipFailure([&] { m_file.FileClose(); });
    m_VocabularyName = vocabulary;
    m_PathName = path;
    m_UserName = name;
    m_currentUserName = name;
    return name;
}

void CApp::AddUserAppName(const std::string& sAppName, const std::string& sVocabName,
                          const std::string& sPathName, int16_t iPosition) {
    m_file.FileOpen(false, "");
    std::string record = m_file.FileRead(static_cast<int16_t>(iPosition + 1));
    size_t star = record.find('*');
    std::string head = star == std::string::npos ? std::string() : record.substr(0, star + 1);
    m_file.FileStore(head + sAppName + "~" + sVocabName + "$" + sPathName, static_cast<int16_t>(iPosition + 1));
    m_file.FileClose();
}

void CApp::AppCompare(const std::string& sSearchString) {
    m_file.FileOpen(false, "");
    m_file.InitRecord();
    VAppTempClear();
    m_file.ForEachRecord([&](std::string_view record) {
        std::string buffer;
        if (!rt::textEquals(rt::Trim(RunningApps::StoredKeyText(before(record, '*'), buffer)), rt::Trim(sSearchString)))
            VAppTempStore(std::string(record));
        return true;
    });
    m_file.FileClose();
}

void CApp::VAppTempStore(const std::string& stemp) { TempStore().Add(rt::Variant(stemp)); }

std::string CApp::VAppTempRetrieve(int16_t iDataValue) {
    return TempStore().Item(rt::Variant(iDataValue)).toString();
}

int16_t CApp::AppRecordCount() {
    m_file.RecordCount(false, "");
    return m_file.RecordNumber();
}

void CApp::CreateNewFile(bool bVocabulary, const std::string& sName) {
    m_file.FileDelete(bVocabulary, sName);
    m_file.FileNew(bVocabulary, sName);
    m_file.FileClose();
}

int16_t CApp::AppCheck(const std::string& sPhrase) {
    int16_t result = 0;
    std::string matched;
    rt::skipFailure([&] { m_file.FileClose(); });
    rt::skipFailure([&] { m_file.InitRecord(); });
    rt::skipFailure([&] { m_file.FileOpen(false, ""); });
    m_file.ForEachRecord([&](std::string_view record) {
        // A record without "~" (a window not named yet) has no name of its
        // own: keeping the previous record's would start the wrong path.
        std::string_view rest = restOf(record);
        std::string_view name;
        if (cutBefore(rest, '~', name))
            m_currentUserName.assign(name);
        else
            m_currentUserName.clear();
        vocabularyOf(record, m_VocabularyName);
        m_PathName.assign(pathOf(record));
        if (sPhrase.empty())
            return false;
        if (m_currentUserName == sPhrase) {
            matched.assign(record);
            result = 1;
            return false;
        }
        return true;
    });
    if (result == 1) {
        rt::skipFailure([&] { rt::form<frmQuibo>()->SetFocus(); });
        rt::skipFailure([&] {
            std::string cls, title;
            std::string buffer;
            RunningApps::SplitWindowKey(std::string(RunningApps::StoredKeyText(before(matched, '*'), buffer)), cls,
                                        title);
            m_ClassName = cls;
            m_WindowText = title;
        });
        rt::HWND hWnd = 0;
        rt::skipFailure([&] { hWnd = rt::FindWindowA(m_ClassName, m_WindowText); });
        rt::skipFailure([&] {
            if (!RunningApps::ForceForeground(hWnd))
                ShellApp();
        });
        rt::skipFailure([&] { m_LastActivatedWindow = rt::GetForegroundWindow(); });
    }
    rt::skipFailure([&] { m_file.FileClose(); });
    return result;
}

void CApp::ShellApp() {
    rt::HWND owner = rt::form<frmQuibo>()->hWnd();
    if (rt::InStr(m_currentUserName, "explore ", rt::Compare::Text) > 0) {
        int32_t r = Explore(owner, m_PathName, rt::SW_SHOWNORMAL);
        if (r != -1)
            rt::MsgBox("Error on Explore: " + std::to_string(r));
    } else if (!m_PathName.empty()) {
        // A working folder that was deleted has no path: start in the
        // program's folder then.
        std::error_code ec;
        std::string startIn = std::filesystem::current_path(ec).string();
        if (ec)
            startIn = rt::App().Path();
        int32_t r = LaunchDocument(owner, m_PathName, startIn, rt::SW_SHOWNORMAL);
        if (r != -1)
            rt::MsgBox("Error on LaunchDocument: " + std::to_string(r));
    }
}

int32_t CApp::LaunchDocument(rt::HWND lnghWnd, const std::string& strDocument,
                             const std::string& strStartIn, int32_t eShowStyle) {
    m_instance = 0;
    m_process = 0;
    try {
        rt::SHELLEXECUTEINFO info;
        info.fMask = rt::SEE_MASK_NOCLOSEPROCESS | rt::SEE_MASK_DOENVSUBST;
        info.hwnd = lnghWnd;
        info.lpVerb = "Open";
        info.lpFile = strDocument;
        info.lpParameters = "";
        info.lpDirectory = strStartIn;
        info.nShow = eShowStyle;
        rt::ShellExecuteExA(info);
        m_instance = info.hInstApp;
        m_process = info.hProcess;
        return info.hInstApp > 32 ? -1 : info.hInstApp;
    } catch (const rt::RuntimeError& e) {
        rt::MsgBox("Error: " + std::to_string(e.number()) + ". " + e.description(), rt::vbOKOnly, "LaunchDocument");
        return 0;
    }
}

int32_t CApp::Explore(rt::HWND lnghWnd, const std::string& strFolder, int32_t eShowStyle) {
    m_instance = 0;
    m_process = 0;
    try {
        int32_t r = rt::ShellExecuteA(lnghWnd, std::string("explore"), strFolder, std::nullopt, std::nullopt, eShowStyle);
        return r < 33 ? r : -1;
    } catch (const rt::RuntimeError& e) {
        rt::MsgBox("Error: " + std::to_string(e.number()) + ". " + e.description(), rt::vbOKOnly, "Explore");
        return 0;
    }
}

int16_t CApp::VocabCheck(const std::string& sPhrase) {
    int16_t result = 0;
    // Every pass passes over a record it cannot cut (a window not named yet,
    // a stray record), so one such record cannot silence the rest.
    try {
        rt::HWND fg = rt::GetForegroundWindow();
        // Pass 1: which application is in the foreground.
        rt::HWND h = 0;
        bool found = false;
        m_file.InitRecord();
        m_file.FileOpen(false, "");
        m_file.ForEachRecord([&](std::string_view record) {
            if (CFile::Eof())
                return false;
            std::string_view windowKey;
            std::string buffer;
            if (cutBefore(record, '*', windowKey) &&
                RunningApps::GetWindowHandle(RunningApps::StoredKeyText(windowKey, buffer)) == fg) {
                h = fg;
                found = true;
                return false;
            }
            return true;
        });
        if (!found)
            h = m_LastActivatedWindow;
        m_file.FileClose();
        std::string key = RunningApps::MakeWindowKey(rt::GetClassNameA(h, kTextBuffer),
                                                     rt::GetWindowTextA(h, kTextBuffer));
        // Pass 2: which vocabulary.
        std::string vocabulary;
        m_file.InitRecord();
        m_file.FileOpen(false, "");
        bool known = false;
        m_file.ForEachRecord([&](std::string_view record) {
            if (CFile::Eof())
                return false;
            std::string_view windowKey;
            std::string buffer;
            known = cutBefore(record, '*', windowKey) && RunningApps::StoredKeyText(windowKey, buffer) == key &&
                    vocabularyOf(record, vocabulary);
            return !known;
        });
        if (!known)
            throw rt::RuntimeError(rt::kInvalidProcedureCall, {}, "no vocabulary for the window");
        // Pass 3: which phrase. The grammar keeps one spelling of phrases that
        // differ only in case, so the recogniser may hear another vocabulary's
        // spelling: without an exact match, the first equal but for case serves.
        m_file.FileClose();
        m_file.InitRecord();
        m_file.FileOpen(true, vocabulary);
        m_file.InitRecord();
        std::string chosen; // never empty once chosen: it holds the ":"
        const std::string upperPhrase = rt::UCase(sPhrase);
        m_file.ForEachRecord([&](std::string_view record) {
            if (CFile::Eof())
                return false;
            std::string_view phrase;
            if (cutBefore(record, ':', phrase)) {
                if (phrase == sPhrase) {
                    chosen.assign(record);
                    return false;
                }
                if (chosen.empty() && equalsUpper(phrase, upperPhrase))
                    chosen.assign(record);
            }
            return true;
        });
        if (!chosen.empty()) {
            std::string title = rt::GetWindowTextA(rt::GetForegroundWindow(), kTextBuffer);
            if (title.find("QUIBO") == std::string::npos) {
                rt::SendKeys(chosen.substr(chosen.find(':') + 1), true);
                result = 2;
            }
        }
    } catch (const rt::RuntimeError&) {
        result = 0;
    }
    m_file.FileClose();
    return result;
}

int32_t CApp::ApplicationRecord(int line, const std::string& windowKey) {
    auto holdsKey = [&](std::string_view record) {
        std::string buffer;
        std::string_view stored;
        return cutBefore(record, '*', stored) &&
               RunningApps::StoredKeyText(stored, buffer) == windowKey;
    };
    int32_t found = 0;
    m_file.FileClose();
    m_file.FileOpen(false, "");
    rt::skipFailure([&] {
        if (line >= 0 && line < INT16_MAX &&
            holdsKey(m_file.FileReadView(static_cast<int16_t>(line + 1))))
            found = line + 1;
    });
    if (!found) {
        // The list is out of step with the file: a record it passed over
        // (damage before it) or one added after the list was filled.
        m_file.InitRecord();
        m_file.ForEachRecord([&](std::string_view record) {
            if (holdsKey(record))
                found = m_file.RecordNumber();
            return found == 0;
        });
    }
    m_file.FileClose();
    return found;
}

void CApp::DelRunApp() {
    rt::ListBox& list = rt::form<frmApp>()->lstVAppCmd;
    if (list.ListIndex() < 0) {
        rt::MsgBox("You must first select a voice-controlled application to delete.",
                   rt::vbInformation, "No File Selected.");
        return;
    }
    int line = list.ListIndex();
    std::string key;
    bool removed = false;
    try {
        key = list.List(line);
        list.RemoveItem(line);
        removed = true;
        // Only that record goes: every other one keeps its bytes, also those
        // the list does not show (damage stops the list, not the file).
        if (int32_t record = ApplicationRecord(line, key))
            CFile::DeleteRecord(false, "", record);
    } catch (const rt::RuntimeError& e) {
        // The file is as it was: so is the list.
        if (removed)
            rt::skipFailure([&] { list.AddItem(key, line); });
        rt::MsgBox(std::to_string(e.number()) + " " + e.description(), rt::vbCritical,
                   "ERROR DELETE VOICE APPLIATION");
    }
}

int16_t CApp::SetForeground(const std::string& sComputer) {
    std::string cls, title;
    if (!RunningApps::SplitWindowKey(sComputer, cls, title)) {
        rt::MsgBox("No application selected to activate.", rt::vbInformation, "No Application Selected");
        return 0;
    }
    rt::skipFailure([&] { RunningApps::ForceForeground(rt::FindWindowA(cls, title)); });
    return 0;
}
