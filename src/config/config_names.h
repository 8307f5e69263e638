/// The names of the configuration's sections and keys that the program reads.
#ifndef PAGETRIX_CONFIG_CONFIG_NAMES_H_
#define PAGETRIX_CONFIG_CONFIG_NAMES_H_

#include <string_view>

namespace names {

/// Sections of the main configuration file.
inline constexpr std::string_view kMainSections[] = {"Pagetrix",       "StartProg", "StartVorlage",
                                                     "Protokolldatei", "Rechte",    "Server",
                                                     "Nicht_Kopieren", "Kopieren"};
/// Keys of [Pagetrix] and of [StartProg].
inline constexpr std::string_view kPagetrixKeys[] = {"Sichtbar", "LoeschStd", "X",       "Y",
                                                     "CX",       "CY",        "Maximize"};
inline constexpr std::string_view kStartProgKeys[] = {"Name", "Ini", "Param", "Log"};
/// Keys of a command file's [FrameSet] and [Vorlage].
inline constexpr std::string_view kFrameSetKeys[] = {
    "Name", "FrameLinks", "FrameRechts", "BreiteLinks", "Titel", "TitelLinks", "TitelRechts"};
inline constexpr std::string_view kVorlageKeys[] = {"Vorlage", "Verzeichnis", "Sound"};
/// Sections whose keys are only list positions.
inline constexpr std::string_view kListSections[] = {"Seiten", "Kopieren", "Nicht_Kopieren"};

}  // namespace names

#endif  // PAGETRIX_CONFIG_CONFIG_NAMES_H_
