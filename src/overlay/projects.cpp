#include "overlay/projects.h"

#include <utility>

#include "common/text.h"
#include "config/file_system.h"
#include "config/settings_error.h"

namespace {

bool boundary(const std::wstring& title, std::size_t at) {
    return at >= title.size() || !isLetterOrDigit(title[at]);
}

bool holdsWord(const std::wstring& title, const std::wstring& name) {
    for (std::size_t at = findIgnoringCase(title, name); at != std::wstring::npos;
         at = findIgnoringCase(title, name, at + 1)) {
        if ((at == 0 || boundary(title, at - 1)) && boundary(title, at + name.size())) return true;
    }
    return false;
}

void save(Projects& projects) {
    if (projects.path.empty() || !projects.writable) return;
    projects.error = saveProjectsFile(projects.path, projects.settings);
}

}  // namespace

namespace {

void readProjectsFile(Projects& projects, LocalMoment now) {
    ProjectsLoad load = loadProjectsFile(projects.path, fileStamp(now));
    projects.writable = load.writable;
    projects.error = load.error;
    if (!load.writable) {
        projects.retry.failed(now);
        return;
    }
    projects.retry.succeeded();
    projects.settings = std::move(load.settings);
    projects.named.clear();
    if (!load.keptAs.empty())
        projects.notice = L"projects.cfg could not be read; it was kept as " + displayPath(load.keptAs);
    // What was chosen while the file could not be read is chosen again, now on top of it.
    if (std::optional<std::wstring> chosen = std::exchange(projects.chosenMeanwhile, std::nullopt))
        chooseProject(projects, *chosen);
    if (std::optional<bool> titles = std::exchange(projects.titlesMeanwhile, std::nullopt))
        setProjectFromTitles(projects, *titles);
}

}  // namespace

void loadProjects(Projects& projects, const std::wstring& stateFolder, LocalMoment now) {
    projects.path = projectsFilePath(stateFolder);
    projects.settings = {};
    projects.named.clear();
    projects.chosenMeanwhile.reset();
    projects.titlesMeanwhile.reset();
    projects.retry.succeeded();
    readProjectsFile(projects, now);
}

void readProjectsWhenDue(Projects& projects, LocalMoment now) {
    if (!projects.writable && !projects.path.empty() && projects.retry.due(now)) readProjectsFile(projects, now);
}

std::wstring projectsReadingText(const Projects& projects) {
    if (projects.writable || projects.path.empty()) return L"";
    return L"projects.cfg cannot be read now (" + systemReason(projects.error) +
           L"); it is read again in a moment, and what you choose meanwhile is kept";
}

const std::wstring& countedProject(const Projects& projects) {
    return projects.named.empty() ? projects.settings.current : projects.named;
}

const std::wstring* projectNamedIn(const std::wstring& title, const std::vector<std::wstring>& recent) {
    const std::wstring* found = nullptr;
    for (const std::wstring& name : recent)
        if ((!found || name.size() > found->size()) && !name.empty() && holdsWord(title, name)) found = &name;
    return found;
}

bool titlesMayNameProject(const Projects& projects) {
    return projects.settings.fromTitles && !projects.settings.recent.empty();
}

void judgeTitle(Projects& projects, const std::wstring* title) {
    const std::wstring* named =
        title && projects.settings.fromTitles ? projectNamedIn(*title, projects.settings.recent) : nullptr;
    if (!named) projects.named.clear();
    else if (projects.named != *named) projects.named = *named;
}

void chooseProject(Projects& projects, const std::wstring& name) {
    if (!projects.writable) projects.chosenMeanwhile = name;
    ProjectSettings& settings = projects.settings;
    std::vector<std::wstring>& recent = settings.recent;
    settings.current = name;
    if (!name.empty()) {
        std::size_t at = 0;
        while (at < recent.size() && !sameFileName(recent[at], name)) ++at;
        if (at < recent.size()) {
            settings.current = recent[at];
            recent.erase(recent.begin() + static_cast<std::ptrdiff_t>(at));
        } else if (recent.size() >= recentProjectLimit) {
            recent.resize(recentProjectLimit - 1);
        }
        recent.insert(recent.begin(), settings.current);
    }
    save(projects);
}

void setProjectFromTitles(Projects& projects, bool on) {
    if (!projects.writable) projects.titlesMeanwhile = on;
    projects.settings.fromTitles = on;
    if (!on) projects.named.clear();
    save(projects);
}

void retryProjectsSave(Projects& projects) {
    if (projects.error && projects.writable) save(projects);
}
