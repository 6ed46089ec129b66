#pragma once

#include <string>
#include <vector>

// Where "the program folder" is: the folder the program writes into (config.ini, Vyr/, GLogFiles/,
// log.xml, temp.txt, tmp/ and the default capture folders) and the skin folder it reads its layouts
// from. The names and formats of the files inside never depend on this choice.
//
// - A self-contained folder, the skin beside the executable (the build's output, a copy of it), that
//   the user can write is the program folder, as it always was.
// - Otherwise (an installed program: the executable in <prefix>/bin, the skin in
//   <prefix>/share/kelvue/skin; or a folder the user cannot write) the writable part is the user's data
//   folder, $XDG_DATA_HOME/kelvue/ (else ~/.local/share/kelvue/), created with owner-only permissions,
//   so users of one machine never share their accounts, settings or captures. The skin is read from
//   beside the executable when it is there, else from the installed share folder.
// Asking whether the skin is beside the executable, not only whether the folder is writable, keeps an
// installed tree installed for root too (who may write /usr/bin) and for an unpacked package.
class ProgramFolders {
public:
    // For an executable folder and the process's environment ($XDG_DATA_HOME, $HOME, else the user's
    // home from the password database); creates the user's data folder when it is used. Creation
    // failures are silent: the program starts and its writes fail later, as in a read-only folder.
    static ProgramFolders ForExecutable(const std::string& executableDirectory);
    // The same decision for an executable folder, the values of $XDG_DATA_HOME and $HOME (empty when
    // unset); creates the user's data folder when it is used.
    static ProgramFolders Locate(const std::string& executableDirectory, const std::string& xdgDataHome,
                                 const std::string& home);

    // The writable program folder, ending in "/".
    const std::string& ProgramDirectory() const { return programDirectory_; }
    // The skin folder, ending in "/".
    const std::string& SkinDirectory() const { return skinDirectory_; }
    // True when the program folder is the user's data folder rather than the executable's folder.
    bool IsInstalled() const { return installed_; }

    // The folders the program's own libraries (the player library, the IM library) are looked for in,
    // in order: the executable's folder (a self-contained folder), then the installed package's private
    // library folder <prefix>/lib/kelvue/. Each ends in "/".
    static std::vector<std::string> LibraryDirectories(const std::string& executableDirectory);

    // The user's data folder of the program: $XDG_DATA_HOME/kelvue/ when that is an absolute path, else
    // <home>/.local/share/kelvue/; empty when neither is known.
    static std::string UserDataDirectory(const std::string& xdgDataHome, const std::string& home);

private:
    std::string programDirectory_;
    std::string skinDirectory_;
    bool installed_ = false;
};
