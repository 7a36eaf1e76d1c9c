#pragma once
// Fixed names of the installed application, shared by its three programs. Narrow
// literals are Shift-JIS in the built programs (-fexec-charset=CP932).

namespace product {

// The product's name; the gap is the ideographic space U+3000.
inline constexpr char kName[] = "コルヴァニ　領収書発行";

// The five installed files, in the order the installer's archive carries them.
inline constexpr const char* kInstalledFiles[] = {"UnInst.exe", "update.exe", "korvani.cnt",
                                                  "korvani.exe", "KORVANI.HLP"};
inline constexpr int kInstalledFileCount = 5;

inline constexpr char kApplicationFile[] = "korvani.exe";
inline constexpr char kLauncherFile[] = "update.exe";
inline constexpr char kUninstallerFile[] = "UnInst.exe";

// What the installer makes outside the installation folder.
inline constexpr char kStartMenuFolder[] = "コルヴァニ";
inline constexpr const char* kStartMenuLinks[] = {
    "コルヴァニ　領収書発行.lnk",
    "コルヴァニ　領収書発行起動.lnk",
    "コルヴァニ　領収書発行アンインストール.lnk",
};
inline constexpr int kStartMenuLinkCount = 3;
inline constexpr char kDesktopLink[] = "コルヴァニ　領収書発行.lnk";

// Under HKEY_LOCAL_MACHINE: the key chain, outermost first, and the value in the last.
inline constexpr const char* kRegistryKeys[] = {"Software\\Tolvar Co.,Ltd.",
                                                "Software\\Tolvar Co.,Ltd.\\korv"};
inline constexpr int kRegistryKeyCount = 2;
inline constexpr char kRegistryValue[] = "Path";

// Window class of the application's main window.
inline constexpr char kApplicationWindowClass[] = "KorvaniSampleWindow";

}  // namespace product
