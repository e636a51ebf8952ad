#pragma once

#include <functional>
#include <string>
#include <vector>

//! Most-recently-used list of project files, most recent first. Keeps the list and makes
//! the captions of its menu entries; the menu itself belongs to the window that shows it.
class TFileMenu {
public:
    using TFileSelectEvent =
        std::function<void(TFileMenu& sender, int index, const std::string& fileName)>;
    using TNotifyEvent = std::function<void(TFileMenu& sender)>;

    //! Prefix of the names of the history entries (MenuName + index).
    std::string MenuName = "File";
    //! Captions begin with "&" + number for the first nine entries.
    bool NumShortcut = true;
    //! Captions show the full path rather than the bare file name.
    bool ShowPath = true;
    //! While false, Add and the click dispatch do nothing.
    bool Enabled = true;
    //! A history entry was chosen.
    TFileSelectEvent OnClick;
    //! The list changed; the view rebuilds its entries.
    TNotifyEvent OnChange;

    int MaxFiles() const { return FMaxFiles; }
    //! A negative value or the current one does nothing; otherwise names are dropped from
    //! the end until at most `maxFiles` remain.
    void SetMaxFiles(int maxFiles);

    //! Puts `fileName` at the top; an entry of the same name moves up, and when the list
    //! is full the oldest is dropped.
    void Add(const std::string& fileName);
    int Count() const { return static_cast<int>(FFiles.size()); }
    //! Name at position i; empty when i is out of range.
    std::string FileName(int i) const;
    const std::vector<std::string>& Files() const { return FFiles; }

    //! Name of the menu entry of position i: MenuName + i.
    std::string EntryName(int i) const;
    //! Caption of the menu entry of position i: the number i + 1 (with "&" for the first
    //! nine when NumShortcut), a blank, then the path or the bare file name. An "&" in
    //! the name is doubled so that it shows as itself. Empty when i is out of range.
    std::string Caption(int i) const;
    //! A menu entry of position `index` was clicked: raises OnClick with its name.
    void Click(int index);

    //! Reads the settings values "File0", "File1", … until the first empty one and adds
    //! them so that the list keeps their stored order (File0 the most recent).
    void ReadHistory(const std::function<std::string(const std::string& name)>& readValue);
    //! Writes "File0" … "File" + (count − 1) with the names at those positions (empty
    //! text where there is none).
    void WriteHistory(
        const std::function<void(const std::string& name, const std::string& value)>& writeValue,
        int count = 8) const;

private:
    void Changed();

    int FMaxFiles = 4;
    std::vector<std::string> FFiles;
};
