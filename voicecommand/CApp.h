#pragma once
// The application records: lists, registers, names and deletes them, and
// turns a recognised phrase into a window switch, a program start or the
// keys of a vocabulary phrase.

#include <cstdint>
#include <memory>
#include <string>

#include "runtime/core/Collection.h"
#include "runtime/platform/desktop/Desktop.h"
#include "voicecommand/CFile.h"

class CApp {
public:
    CApp() = default;

    // Application list and record editing.
    void FillVACListBox();
    void VAppAdd(const std::string& sAppName, int16_t iRecNumber, bool bCreateFromNew);
    std::string UserDefinedName(int16_t iRecord);
    void AddUserAppName(const std::string& sAppName, const std::string& sVocabName,
                        const std::string& sPathName, int16_t iPosition);
    void AppCompare(const std::string& sSearchString);
    void InitRecord() { m_file.InitRecord(); }
    void VAppTempStore(const std::string& stemp);
    std::string VAppTempRetrieve(int16_t iDataValue);
    void VAppTempClear() { m_tempStore.reset(); }
    int16_t AppRecordCount();
    void CreateNewFile(bool bVocabulary, const std::string& sName);

    bool PBClickState() const { return m_PBClickState; }
    void setPBClickState(bool bNewState) { m_PBClickState = bNewState; }
    const std::string& VocabularyName() const { return m_VocabularyName; }
    void setVocabularyName(const std::string& sNewName) { m_VocabularyName = sNewName; }
    const std::string& UserName() const { return m_UserName; }
    void setUserName(const std::string& sNewUser) { m_UserName = sNewUser; }
    const std::string& PathName() const { return m_PathName; }
    void setPathName(const std::string& sNewPath) { m_PathName = sNewPath; }

    // Phrase dispatch.
    int16_t AppCheck(const std::string& sPhrase);
    void ShellApp();
    int32_t LaunchDocument(rt::HWND lnghWnd, const std::string& strDocument,
                           const std::string& strStartIn, int32_t eShowStyle);
    int32_t Explore(rt::HWND lnghWnd, const std::string& strFolder, int32_t eShowStyle);
    int16_t VocabCheck(const std::string& sPhrase);
    void DelRunApp();
    int16_t SetForeground(const std::string& sComputer);

    const std::string& ClassName() const { return m_ClassName; }
    void setClassName(const std::string& sNewClassName) { m_ClassName = sNewClassName; }
    const std::string& WindowText() const { return m_WindowText; }
    void setWindowText(const std::string& sNewWindowText) { m_WindowText = sNewWindowText; }

    rt::HWND LastActivatedWindow() const { return m_LastActivatedWindow; }
    CFile& File() { return m_file; }
    // The store of texts with which a record file is rewritten; made on first use.
    rt::Collection& TempStore();

private:
    // The record of line `line` of the application list, which shows
    // `windowKey`: record line + 1 when it holds that key (as the list was
    // filled), else the first record that does; 0 when none does.
    int32_t ApplicationRecord(int line, const std::string& windowKey);

    CFile m_file;
    bool m_PBClickState = false;
    std::string m_VocabularyName;
    std::string m_UserName;
    std::string m_PathName;
    std::string m_ClassName;
    std::string m_WindowText;
    std::string m_currentUserName;
    rt::HWND m_LastActivatedWindow = 0;
    int32_t m_instance = 0;
    int32_t m_process = 0;
    std::unique_ptr<rt::Collection> m_tempStore;
};
