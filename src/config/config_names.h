/// The names of the sections and keys a run reads: the main configuration,
/// the command files and the environment file, each name once. The reader's
/// callers, the check and the handbook's test take them from here.
#ifndef PAGETRIX_CONFIG_CONFIG_NAMES_H_
#define PAGETRIX_CONFIG_CONFIG_NAMES_H_

#include <span>
#include <string_view>

namespace names {

// ---- The main configuration ----

inline constexpr std::string_view kPagetrix = "Pagetrix";
inline constexpr std::string_view kStartProg = "StartProg";
/// The section and its one key.
inline constexpr std::string_view kStartVorlage = "StartVorlage";
inline constexpr std::string_view kProtokolldatei = "Protokolldatei";
inline constexpr std::string_view kRechte = "Rechte";
inline constexpr std::string_view kServer = "Server";
inline constexpr std::string_view kNichtKopieren = "Nicht_Kopieren";
inline constexpr std::string_view kKopieren = "Kopieren";

/// Keys of [Pagetrix]; the result window writes back its placement.
inline constexpr std::string_view kSichtbar = "Sichtbar";
inline constexpr std::string_view kLoeschStd = "LoeschStd";
inline constexpr std::string_view kX = "X";
inline constexpr std::string_view kY = "Y";
inline constexpr std::string_view kCX = "CX";
inline constexpr std::string_view kCY = "CY";
inline constexpr std::string_view kMaximize = "Maximize";

/// The key of [StartProg], [Protokolldatei] and a command file's [FrameSet].
inline constexpr std::string_view kName = "Name";
/// The other keys of [StartProg].
inline constexpr std::string_view kIni = "Ini";
inline constexpr std::string_view kParam = "Param";
inline constexpr std::string_view kLog = "Log";

// ---- Command files ----

inline constexpr std::string_view kSeiten = "Seiten";
inline constexpr std::string_view kFrameSet = "FrameSet";
/// The section and its key naming the template.
inline constexpr std::string_view kVorlage = "Vorlage";

/// Keys of [FrameSet], beside Name.
inline constexpr std::string_view kFrameLinks = "FrameLinks";
inline constexpr std::string_view kFrameRechts = "FrameRechts";
inline constexpr std::string_view kBreiteLinks = "BreiteLinks";
inline constexpr std::string_view kTitel = "Titel";
inline constexpr std::string_view kTitelLinks = "TitelLinks";
inline constexpr std::string_view kTitelRechts = "TitelRechts";

/// Keys of [Vorlage], beside Vorlage.
inline constexpr std::string_view kVerzeichnis = "Verzeichnis";
inline constexpr std::string_view kSound = "Sound";

/// The keys of a placeholder section that are settings, not links, in the
/// order the link table reads them.
inline constexpr std::string_view kUeberschrift = "Ueberschrift";
inline constexpr std::string_view kFontTabelle = "FontTabelle";
inline constexpr std::string_view kFontUeberschrift = "FontUeberschrift";
inline constexpr std::string_view kBorder = "Border";
inline constexpr std::string_view kSpaltenBreite1 = "SpaltenBreite1";
inline constexpr std::string_view kTreeMenu = "TreeMenu";
inline constexpr std::string_view kSectionSettingKeys[] = {
    kUeberschrift, kFontTabelle, kFontUeberschrift, kBorder, kSpaltenBreite1, kTreeMenu};

// ---- The environment file ----

/// The environment section by the start drive's type; the plain one for
/// every other type and when the drive's own is missing.
inline constexpr std::string_view kEnvironmentRemovable = "Environment_REMOVABLE";
inline constexpr std::string_view kEnvironmentFixed = "Environment_FIXED";
inline constexpr std::string_view kEnvironmentRemote = "Environment_REMOTE";
inline constexpr std::string_view kEnvironmentCdRom = "Environment_CDROM";
inline constexpr std::string_view kEnvironmentRamDisk = "Environment_RAMDISK";
inline constexpr std::string_view kEnvironment = "Environment";
/// The server section: for a start from a local drive, else by the server's name.
inline constexpr std::string_view kLokal = "Lokal";
inline constexpr char kServerSectionFormat[] = "Server_%s";

// ---- Lists ----

/// Sections of the main configuration.
inline constexpr std::string_view kMainSections[] = {kPagetrix,       kStartProg, kStartVorlage,
                                                     kProtokolldatei, kRechte,    kServer,
                                                     kNichtKopieren,  kKopieren};
/// Sections of a command file besides the placeholders.
inline constexpr std::string_view kCommandSections[] = {kSeiten, kFrameSet, kVorlage};
/// Sections of the environment file read by the start drive's type.
inline constexpr std::string_view kEnvironmentSections[] = {
    kEnvironmentRemovable, kEnvironmentFixed,   kEnvironmentRemote,
    kEnvironmentCdRom,     kEnvironmentRamDisk, kEnvironment};

inline constexpr std::string_view kPagetrixKeys[] = {kSichtbar, kLoeschStd, kX,       kY,
                                                     kCX,       kCY,        kMaximize};
inline constexpr std::string_view kStartProgKeys[] = {kName, kIni, kParam, kLog};
inline constexpr std::string_view kStartVorlageKeys[] = {kStartVorlage};
inline constexpr std::string_view kProtokolldateiKeys[] = {kName};
inline constexpr std::string_view kFrameSetKeys[] = {
    kName, kFrameLinks, kFrameRechts, kBreiteLinks, kTitel, kTitelLinks, kTitelRechts};
inline constexpr std::string_view kVorlageKeys[] = {kVorlage, kVerzeichnis, kSound};

/// A section whose keys are fixed names, with those keys. The keys of the
/// other sections are free: list positions, user and server names, links.
struct SectionKeys {
  std::string_view section;
  std::span<const std::string_view> keys;
};
inline constexpr SectionKeys kMainConfigKeys[] = {{kPagetrix, kPagetrixKeys},
                                                  {kStartProg, kStartProgKeys},
                                                  {kStartVorlage, kStartVorlageKeys},
                                                  {kProtokolldatei, kProtokolldateiKeys}};
inline constexpr SectionKeys kCommandFileKeys[] = {{kFrameSet, kFrameSetKeys},
                                                   {kVorlage, kVorlageKeys}};

/// Sections whose keys are only list positions.
inline constexpr std::string_view kListSections[] = {kSeiten, kKopieren, kNichtKopieren};

}  // namespace names

#endif  // PAGETRIX_CONFIG_CONFIG_NAMES_H_
