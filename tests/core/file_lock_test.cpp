// A window's claim on its draft: one holder at a time, and nothing held
// once the holder is gone, however it went.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "output/FileIo.h"

#ifndef _WIN32
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace {

std::string Scratch(const char* name) {
    const std::filesystem::path folder = std::filesystem::temp_directory_path() / "quillsmith-lock-test";
    std::filesystem::create_directories(folder);
    const std::filesystem::path path = folder / name;
    std::filesystem::remove(path);
    return path.string();
}

TEST(FileLock, OneHolderAtATimeUntilItLetsGo) {
    const std::string path = Scratch("draft-1.lock");
    fileio::FileLock first, second;
    ASSERT_TRUE(first.TryLock(path)) << "made when missing";
    EXPECT_FALSE(second.TryLock(path)) << "held, even by this process";
    EXPECT_FALSE(second.held());
    fileio::FileLock moved = std::move(first);
    EXPECT_TRUE(moved.held());
    EXPECT_FALSE(first.held());
    EXPECT_FALSE(second.TryLock(path)) << "the lock moved with it";
    moved.Unlock();
    EXPECT_TRUE(second.TryLock(path));
    EXPECT_FALSE(fileio::FileLock().TryLock(std::filesystem::path(path).parent_path().string() + "/missing/x.lock"));
}

#ifndef _WIN32
TEST(FileLock, AKilledHolderHoldsNothing) {
    const std::string path = Scratch("draft-2.lock");
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        fileio::FileLock lock;
        const char held = lock.TryLock(path) ? 'y' : 'n';
        static_cast<void>(::write(ready[1], &held, 1));
        ::pause();
        ::_exit(0);
    }
    char held = 0;
    ASSERT_EQ(::read(ready[0], &held, 1), 1);
    EXPECT_EQ(held, 'y');
    fileio::FileLock mine;
    EXPECT_FALSE(mine.TryLock(path)) << "the child holds it";
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
    EXPECT_TRUE(mine.TryLock(path)) << "the system let go with the child";
    ::close(ready[0]);
    ::close(ready[1]);
}
#endif

}  // namespace
