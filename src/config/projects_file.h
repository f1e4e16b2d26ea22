#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

// projects.cfg, beside data.cfg: the project counted seconds go to, UTF-8 with CR LF line ends:
//   Acme logo          the current project; an empty line for none
//   true               whether window titles name the project: true or false
//   Acme logo          the recent projects, most recently chosen first, the current one among
//   Globex brief       them
// The file is written only once a project or the title setting was chosen; without it there is
// no project and titles name one.

// The name rule: spaces around a name are no part of it; a name has 1 to 60 characters and no
// control character. Commas and quotes are fine: history.csv quotes them.
constexpr std::size_t projectNameLimit = 60;
// The program keeps this many recent projects: the menu has room for ten. A longer list written
// by hand is read whole, and comes down to ten when the next new project is chosen.
constexpr std::size_t recentProjectLimit = 10;

// The name a person typed, trimmed, when it keeps the name rule; nullopt when it does not.
std::optional<std::wstring> projectName(const std::wstring& typed);

struct ProjectSettings {
    std::wstring current;              // empty: no project
    bool fromTitles = true;            // the title of the window worked in may name the project
    std::vector<std::wstring> recent;  // most recent first, none twice as Windows compares names
};
inline bool operator==(const ProjectSettings& a, const ProjectSettings& b) {
    return a.current == b.current && a.fromTitles == b.fromTitles && a.recent == b.recent;
}

std::wstring projectsFilePath(const std::wstring& stateFolder);

// What a projects.cfg text says; nullopt when it cannot be read. Read tolerantly, as a person may
// have edited it: a byte-order mark, LF line ends, spaces around names and blank lines among the
// recent ones are nothing; a name given twice (as
// Windows compares names) counts once, at its first place; a current project missing from the
// recent ones is the most recent; an empty text is the defaults, and so is a missing second line.
// Each line is UTF-8 when it is, else in the ANSI code page (see decodeFileText).
// A name that breaks the name rule, or a second line other than true or false, makes the text
// unreadable. Whatever this reads, formatProjects writes so that it reads back the same.
std::optional<ProjectSettings> parseProjects(const std::string& bytes);
std::string formatProjects(const ProjectSettings& settings);

// What reading projects.cfg found.
struct ProjectsLoad {
    ProjectSettings settings;
    // False when the file is there but its bytes could not be read (held by another program, a
    // read error), or it was unreadable and could not be moved aside: it must not be written
    // over, and is to be read again. `error` says why.
    bool writable = true;
    std::wstring keptAs;  // where an unreadable file was moved; empty otherwise
    std::error_code error;
};

// Reads projects.cfg at `path`. A file that cannot be read is never written over: it is moved
// beside itself under a name carrying `stamp` ("projects unreadable 2026-12-07 153012.cfg"), and
// the defaults are used. A file whose bytes cannot be read now is no such file: it stays where it
// is (not writable), as does a folder in its place that cannot be moved aside.
ProjectsLoad loadProjectsFile(const std::wstring& path, const std::wstring& stamp);

// Replaces the file in one step (see writeFileAtomically).
std::error_code saveProjectsFile(const std::wstring& path, const ProjectSettings& settings);
