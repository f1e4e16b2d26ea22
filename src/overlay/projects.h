#pragma once

#include <optional>
#include <string>
#include <system_error>
#include <vector>

#include "common/calendar.h"
#include "config/projects_file.h"
#include "config/read_retry.h"

// The projects as the overlay works with them: what projects.cfg holds, where it is, and the
// project that the title of the window worked in named last.
struct Projects {
    ProjectSettings settings;
    std::wstring path;      // projects.cfg; empty until loaded, and nothing is written then
    // False while projects.cfg is not read (its bytes could not be read, or an unreadable file
    // could not be moved aside): it stays as it is, nothing writes over it, and it is read
    // again as `retry` says. Choices made meanwhile hold, and are made again once it is read.
    bool writable = true;
    ReadRetry retry;
    std::optional<std::wstring> chosenMeanwhile;
    std::optional<bool> titlesMeanwhile;
    std::error_code error;  // why projects.cfg was not written (or read, when not writable)
    std::wstring notice;    // where an unreadable projects.cfg was kept, for the menu to say once
    // The recent project that the title of the window a second was counted for named at the last
    // qualifying frame; empty when none did. Nothing else of the title is kept.
    std::wstring named;
};

// Reads projects.cfg in `stateFolder` (see loadProjectsFile); `now` names a file kept aside.
void loadProjects(Projects& projects, const std::wstring& stateFolder, LocalMoment now);
// Every frame: reads projects.cfg again when it was not read and that is due. Nothing otherwise.
void readProjectsWhenDue(Projects& projects, LocalMoment now);
// While projects.cfg waits to be read again: a line for the menu saying why. Empty otherwise.
std::wstring projectsReadingText(const Projects& projects);

// The project counted seconds go to: the one the title named, else the chosen one; empty: none.
const std::wstring& countedProject(const Projects& projects);

// The title rule: the recent project whose name `title` holds as a whole word, bounded by the
// title's ends or by characters that are not letters or digits, letter case aside as Windows
// compares names ("acme-logo.psd - Photoshop" holds "Acme"; "Acmeville" does not); the longest
// name when several are there, the more recent of two as long. Null when the title holds none.
const std::wstring* projectNamedIn(const std::wstring& title, const std::vector<std::wstring>& recent);

// Whether a title may name a project now: titles name projects and there is a recent one. Only
// then is a title read at all.
bool titlesMayNameProject(const Projects& projects);

// A qualifying frame's title: `named` becomes what it names; nothing while titles name no project,
// or when no title could be read (null).
void judgeTitle(Projects& projects, const std::wstring* title);

// Makes `name` (one that keeps the name rule, or "" for none) the current project and the most
// recent one, and saves. A name equal to a recent one but for letter case picks that one; a new
// one goes first, and the least recent leave the list beyond ten.
void chooseProject(Projects& projects, const std::wstring& name);
// Turns the title rule on or off and saves; off forgets what the last title named.
void setProjectFromTitles(Projects& projects, bool on);
// After a failed write: writes projects.cfg again. Nothing otherwise.
void retryProjectsSave(Projects& projects);
