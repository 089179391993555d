#include "shell/Storage.h"

#include <algorithm>
#include <cstdio>
#include <vector>

#include "platform/ConfigDir.h"
#include "platform/MessageBox.h"
#include "platform/Paths.h"
#include "shell/Form1.h"
#include "shell/Globals.h"
#include "shell/StorageFiles.h"
#include "world/GameTables.h"

static_assert(std::tuple_size_v<decltype(Tracks)> + kSpareBestTimeSlots == kBestTimeSlots);

namespace {
std::string Joined(const std::string& folder, const std::string& name) {
    if (folder.empty() || folder.back() == '/') return folder + name;
    return folder + "/" + name;
}

std::string Kept(const std::string& badPath, bool kept, const std::string& error) {
    if (kept) return "the file is kept as " + badPath;
    return "a copy could not be kept as " + badPath + " (" + error + ")";
}

bool Save(const std::string& folder, const std::string& name, const std::string& bytes,
          std::string& error) {
    const std::string path = Joined(folder, name);
    if (WriteFileAtomic(path, bytes, error)) return true;
    error = path + ": " + error;
    return false;
}
}  // namespace

// One message for everything that failed in one save.
bool ReportWriteErrors(const std::vector<std::string>& errors) {
    if (errors.empty()) return true;
    std::string text = "Could not save your settings:\n";
    for (const std::string& e : errors) text += e + "\n";
    text += "The previous files are kept; the game carries on.";
    ShowMessageBox("Velkaro", text, TMsgButtons::Ok, TMsgIcon::Error);
    return false;
}

TLoadReport LoadStoredFile(const std::string& folder, const std::string& programFolder,
                           const std::string& name,
                           const std::function<TDamagedLines(std::string_view)>& decode) {
    TLoadReport report;
    const std::string path = Joined(folder, name);
    const std::string badPath = path + ".bad";
    TFileRead file = ReadSmallFile(path);
    if (file.Status == TReadStatus::Missing && !programFolder.empty() &&
        Joined(programFolder, name) != path) {
        TFileRead old = ReadSmallFile(Joined(programFolder, name));
        if (old.Status == TReadStatus::Read) {
            file = std::move(old);
            report.FromProgramFolder = true;
        }
    }
    if (file.Status == TReadStatus::Missing) return report;
    report.Found = true;
    std::string error;
    if (file.Status == TReadStatus::Unreadable) {
        // Whatever stands in the file's place is moved aside, so a new file can be written.
        report.Damaged = true;
        report.CopyKept = MoveAside(path, badPath, error);
        report.Message = path + ": cannot be read (" + file.Error + "); defaults used, " +
                         Kept(badPath, report.CopyKept, error);
        return report;
    }
    TDamagedLines damaged = decode(file.Bytes);
    if (damaged.empty() && !file.Truncated) return report;
    report.Damaged = true;
    // A file cut at the size limit is moved whole; otherwise the bytes are copied, so the
    // damaged file stays in place until the repaired one replaces it.
    report.CopyKept = file.Truncated && !report.FromProgramFolder
                          ? MoveAside(path, badPath, error)
                          : WriteFileAtomic(badPath, file.Bytes, error);
    const std::string source = report.FromProgramFolder ? Joined(programFolder, name) : path;
    std::string what = file.Truncated ? "too large" : "";
    if (!damaged.empty()) {
        if (!what.empty()) what += ", ";
        what +=
            (damaged.size() == 1 ? "damaged line " : "damaged lines ") + DamagedLinesText(damaged);
    }
    report.Message = source + ": " + what + "; defaults used for those values, " +
                     Kept(badPath, report.CopyKept, error);
    return report;
}

TLoadReport LoadSettingsFile(const std::string& folder, const std::string& programFolder,
                             TSettings& settings) {
    return LoadStoredFile(folder, programFolder, kConfigFileName,
                          [&](std::string_view bytes) { return DecodeSettings(bytes, settings); });
}

TLoadReport LoadProgressFile(const std::string& folder, const std::string& programFolder,
                             TProgress& progress) {
    return LoadStoredFile(folder, programFolder, kProgressFileName,
                          [&](std::string_view bytes) { return DecodeProgress(bytes, progress); });
}

bool SaveSettingsFile(const std::string& folder, const TSettings& settings, std::string& error) {
    return Save(folder, kConfigFileName, EncodeSettings(settings), error);
}

bool SaveProgressFile(const std::string& folder, const TProgress& progress, std::string& error) {
    return Save(folder, kProgressFileName, EncodeProgress(progress), error);
}

TSettings CurrentSettings(const TPlayerList& players) {
    TSettings s;
    s.FullScreen = FullScreen != 0;
    s.MusicOn = MusicOn != 0;
    s.Volume = Volume;
    s.DailyGhost = DailyGhost;
    s.ExtraText = ExtraText;
    s.PlayerName = PlayerName;
    s.HiScores = HiScores;
    s.Players = players;
    return s;
}

void ApplySettings(const TSettings& s, TPlayerList& players) {
    FullScreen = s.FullScreen ? 1 : 0;
    MusicOn = s.MusicOn ? 1 : 0;
    Volume = s.Volume;
    DailyGhost = s.DailyGhost;
    ExtraText = s.ExtraText;
    PlayerName = s.PlayerName;
    for (size_t i = 0; i < HiScores.size(); ++i) {
        HiScores[i].Name = s.HiScores[i].Name;
        HiScores[i].ScoreText = s.HiScores[i].ScoreText;
    }
    players = s.Players;
}

TProgress CurrentProgress(const TSpareBestTimes& spare) {
    TProgress p;
    p.Score = Score;
    p.TracksOpen = TracksOpen;
    p.CarsOpen = CarsOpen;
    p.UnlockThreshold = UnlockThreshold;
    p.UnlockStage = UnlockStage;
    for (size_t i = 0; i < Tracks.size(); ++i)
        p.BestTimes[i] = {Tracks[i].BestHundredths, Tracks[i].BestSeconds, Tracks[i].BestMinutes};
    for (size_t i = 0; i < spare.size(); ++i) p.BestTimes[Tracks.size() + i] = spare[i];
    return p;
}

void ApplyProgress(const TProgress& p, TSpareBestTimes& spare) {
    Score = p.Score;
    TracksOpen = std::max(TracksOpen, p.TracksOpen);
    CarsOpen = std::max(CarsOpen, p.CarsOpen);
    UnlockThreshold = p.UnlockThreshold;
    UnlockStage = p.UnlockStage;
    for (size_t i = 0; i < Tracks.size(); ++i) {
        Tracks[i].BestHundredths = p.BestTimes[i].Hundredths;
        Tracks[i].BestSeconds = p.BestTimes[i].Seconds;
        Tracks[i].BestMinutes = p.BestTimes[i].Minutes;
    }
    for (size_t i = 0; i < spare.size(); ++i) spare[i] = p.BestTimes[Tracks.size() + i];
}

void ReadStoredFiles(TForm1& form) {
    const std::string folder = ConfigDir();
    TSettings settings = CurrentSettings(form.Players);
    const TLoadReport config = LoadSettingsFile(folder, ProgramDir(), settings);
    ApplySettings(settings, form.Players);
    TProgress progress = CurrentProgress(form.SpareBestTimes);
    const TLoadReport data = LoadProgressFile(folder, ProgramDir(), progress);
    ApplyProgress(progress, form.SpareBestTimes);
    for (const TLoadReport* r : {&config, &data})
        if (!r->Message.empty()) std::fprintf(stderr, "Velkaro: %s\n", r->Message.c_str());
    // Repaired or moved files are written at once, so the next start finds them sound and
    // in the player's folder.
    std::vector<std::string> errors;
    std::string error;
    if (config.NeedsWrite() && !SaveSettingsFile(folder, CurrentSettings(form.Players), error))
        errors.push_back(error);
    if (data.NeedsWrite() && !SaveProgressFile(folder, CurrentProgress(form.SpareBestTimes), error))
        errors.push_back(error);
    ReportWriteErrors(errors);
}

bool WriteConfig(TForm1& form) {
    std::string error;
    if (SaveSettingsFile(ConfigDir(), CurrentSettings(form.Players), error)) return true;
    return ReportWriteErrors({error});
}

bool WriteConfigDat(TForm1& form) {
    std::string error;
    if (SaveProgressFile(ConfigDir(), CurrentProgress(form.SpareBestTimes), error)) return true;
    return ReportWriteErrors({error});
}

bool WriteStoredFiles(TForm1& form) {
    const std::string folder = ConfigDir();
    std::vector<std::string> errors;
    std::string error;
    if (!SaveSettingsFile(folder, CurrentSettings(form.Players), error)) errors.push_back(error);
    if (!SaveProgressFile(folder, CurrentProgress(form.SpareBestTimes), error))
        errors.push_back(error);
    return ReportWriteErrors(errors);
}
