// Reading the two settings files at start-up and writing them when there is something to keep:
// Config.cfg and Configdat.cfg live in the player's settings folder (platform/ConfigDir). A
// file missing there is read once from the program's folder (a portable copy or an older
// install) and copied over. A damaged file never stops the game: what can be read is used,
// the rest keeps its default, the file is kept as NAME.bad and one line on standard error
// names the damaged lines. A failed write keeps the old file and shows one message.
#pragma once

#include <array>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "shell/Players.h"
#include "shell/SettingsFormat.h"

class TForm1;

inline constexpr const char* kConfigFileName = "Config.cfg";
inline constexpr const char* kProgressFileName = "Configdat.cfg";

using TSpareBestTimes = std::array<TBestTime, kSpareBestTimeSlots>;

// What reading one settings file found.
struct TLoadReport {
    bool Found = false;              // there was a file (even a damaged one)
    bool FromProgramFolder = false;  // read from the program's folder
    bool Damaged = false;            // some values kept their defaults
    bool CopyKept = false;           // the damaged file is kept as NAME.bad
    // The line for standard error; empty when the file was sound or missing.
    std::string Message;
    // The file should be written at once: it lives only in the program's folder, or it was
    // damaged and a copy is kept (without one, the damaged file is left as it is for now).
    bool NeedsWrite() const { return FromProgramFolder || (Damaged && CopyKept); }
};

// Reads folder/name (or, when missing there, programFolder/name) through `decode`, which
// returns the damaged lines. A damaged file is kept as folder/name.bad.
TLoadReport LoadStoredFile(const std::string& folder, const std::string& programFolder,
                           const std::string& name,
                           const std::function<TDamagedLines(std::string_view)>& decode);
TLoadReport LoadSettingsFile(const std::string& folder, const std::string& programFolder,
                             TSettings& settings);
TLoadReport LoadProgressFile(const std::string& folder, const std::string& programFolder,
                             TProgress& progress);

// Writes folder/Config.cfg or folder/Configdat.cfg; on failure `error` names the file and
// the reason.
bool SaveSettingsFile(const std::string& folder, const TSettings& settings, std::string& error);
bool SaveProgressFile(const std::string& folder, const TProgress& progress, std::string& error);

// The game's current values as file records, and back.
TSettings CurrentSettings(const TPlayerList& players);
void ApplySettings(const TSettings& settings, TPlayerList& players);
TProgress CurrentProgress(const TSpareBestTimes& spare);
// Open counts only grow: a file never closes a track or car that is already open.
void ApplyProgress(const TProgress& progress, TSpareBestTimes& spare);

// Start-up: reads both files into the globals and the form's player list, writing at once
// the ones that were damaged or came from the program's folder.
void ReadStoredFiles(TForm1& form);
// One message box for every file one save could not write; false when there were any.
bool ReportWriteErrors(const std::vector<std::string>& errors);
// Writes Config.cfg / Configdat.cfg / both; a failure shows one message and returns false.
bool WriteConfig(TForm1& form);
bool WriteConfigDat(TForm1& form);
bool WriteStoredFiles(TForm1& form);
