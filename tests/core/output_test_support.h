#pragma once
// Scratch folders, file helpers, a message recorder and a child process with
// a file size limit, for the tests of Save's file work and the record.

#include <gtest/gtest.h>

#ifndef _WIN32
#include <dirent.h>
#include <grp.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <optional>
#include <random>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "text/Messages.h"
#include "text/Text.h"

namespace testing_output {

// A UTF-8 name as the standard library's path, which Windows gives the
// system in UTF-16; elsewhere the same bytes.
inline std::filesystem::path PathOf(const std::string& utf8) {
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

class ScratchFolder {
public:
#ifdef _WIN32
    ScratchFolder() {
        std::random_device random;
        for (int attempt = 0; attempt < 100 && m_path.empty(); ++attempt) {
            const auto path = std::filesystem::temp_directory_path() / ("qs-output-" + std::to_string(random()));
            if (std::filesystem::create_directory(path)) m_path = path.string();
        }
        if (m_path.empty()) std::abort();
    }
#else
    ScratchFolder() {
        std::string pattern = (std::filesystem::temp_directory_path() / "qs-output-XXXXXX").string();
        if (!::mkdtemp(pattern.data())) std::abort();
        m_path = pattern;
    }
#endif
    ~ScratchFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(m_path, ignored);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::string& path() const { return m_path; }
    // Joined with the system's separator, where the program looks for it.
    std::string operator/(const std::string& name) const { return m_path + kPathSeparator + name; }

private:
    std::string m_path;
};

inline std::optional<std::string> ReadFile(const std::string& path) {
    std::ifstream in(PathOf(path), std::ios::binary);
    if (!in || std::filesystem::is_directory(PathOf(path))) return std::nullopt;
    return std::string(std::istreambuf_iterator<char>(in), {});
}

inline void WriteFile(const std::string& path, const std::string& bytes) {
    std::filesystem::create_directories(PathOf(path).parent_path());
    std::ofstream(PathOf(path), std::ios::binary) << bytes;
}

inline bool Exists(const std::string& path) { return std::filesystem::exists(PathOf(path)); }

// Every file under folder, as paths relative to it, sorted.
inline std::vector<std::string> FilesUnder(const std::string& folder) {
    std::vector<std::string> files;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(PathOf(folder))) {
        const std::u8string name = std::filesystem::relative(entry.path(), PathOf(folder)).generic_u8string();
        files.push_back(std::string(name.begin(), name.end()) + (entry.is_directory() ? "/" : ""));
    }
    std::sort(files.begin(), files.end());
    return files;
}

#ifdef _WIN32
// The process's handles, in tests/windows/: windows.h stays out of the tests.
int OpenDescriptorCount();
#else
inline int OpenDescriptorCount() {
    int count = 0;
    if (DIR* dir = ::opendir("/proc/self/fd")) {
        while (::readdir(dir)) ++count;
        ::closedir(dir);
    }
    return count;
}
#endif

struct Message {
    std::string text;
    MessageIcon icon;
    bool operator==(const Message&) const = default;
};

inline std::ostream& operator<<(std::ostream& out, const Message& m) {
    return out << '"' << m.text << "\" icon " << static_cast<int>(m.icon);
}

class MessageLog {
public:
    ShowMessage callback() {
        return [this](std::string_view text, MessageIcon icon) { messages.push_back({std::string(text), icon}); };
    }
    std::vector<Message> messages;
};

#ifndef _WIN32  // POSIX processes, limits and users
// Runs work in a child set up by prepare, and returns the messages it
// showed. The child is ended after ten seconds, so work that hangs fails.
inline std::vector<Message> RunInChild(const std::function<void()>& prepare,
                                       const std::function<void(const ShowMessage&)>& work) {
    int pipeFds[2];
    if (::pipe(pipeFds) != 0) std::abort();
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(pipeFds[0]);
        ::alarm(10);
        prepare();
        work([fd = pipeFds[1]](std::string_view text, MessageIcon icon) {
            std::string line = std::to_string(static_cast<int>(icon)) + " " + std::string(text) + "\n";
            if (::write(fd, line.data(), line.size()) < 0) ::_exit(3);
        });
        ::_exit(0);
    }
    ::close(pipeFds[1]);
    std::string all;
    char block[4096];
    for (ssize_t got; (got = ::read(pipeFds[0], block, sizeof block)) > 0;)
        all.append(block, static_cast<std::size_t>(got));
    ::close(pipeFds[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        ADD_FAILURE() << "the child did not end normally (status " << status << ")";
        return {};
    }

    std::vector<Message> messages;
    std::istringstream lines(all);
    for (std::string line; std::getline(lines, line);)
        messages.push_back({line.substr(2), static_cast<MessageIcon>(line[0] - '0')});
    return messages;
}

// A child whose files cannot grow beyond limit bytes. A write that crosses
// the limit comes back short; the next fails with EFBIG.
inline std::vector<Message> RunWithFileSizeLimit(rlim_t limit, const std::function<void(const ShowMessage&)>& work) {
    return RunInChild(
        [limit] {
            ::signal(SIGXFSZ, SIG_IGN);
            const rlimit rl{limit, limit};
            ::setrlimit(RLIMIT_FSIZE, &rl);
        },
        work);
}

// The user "nobody": the tests run as root, for whom no mode bit refuses.
inline constexpr uid_t kNobody = 65534;

inline std::vector<Message> RunAsNobody(const std::function<void(const ShowMessage&)>& work) {
    return RunInChild(
        [] {
            if (::geteuid() != 0) return;  // already without privileges
            if (::setgroups(0, nullptr) != 0 || ::setgid(kNobody) != 0 || ::setuid(kNobody) != 0) ::_exit(4);
        },
        work);
}
#endif

}  // namespace testing_output
