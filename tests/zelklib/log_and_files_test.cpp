#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <regex>
#include <sstream>
#include <thread>

#include "support/temp_dir.h"
#include "zelklib/file_in_use.h"
#include "zelklib/file_ops.h"
#include "zelklib/log_file.h"

namespace zelklib {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> linesOf(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream stream(text);
  std::string line;
  while (std::getline(stream, line)) lines.push_back(line);
  return lines;
}

TEST(LogFile, ALineIsTheLocalTimeWithMillisecondsOneBlankAndTheText) {
  std::tm time{};
  time.tm_year = 2024 - 1900;
  time.tm_mon = 2;
  time.tm_mday = 7;
  time.tm_hour = 9;
  time.tm_min = 5;
  time.tm_sec = 3;
  EXPECT_EQ(FormatLogLine(time, 42, "Init Begin"), "2024-03-07 09:05:03.042 Init Begin\n");
  EXPECT_EQ(FormatLogLine(time, 999, "a\r\nb\nc"), "2024-03-07 09:05:03.999 a  b c\n");
  EXPECT_EQ(LogFilePath("/opt/zelk"), "/opt/zelk/Log/Zelk.log");
}

TEST(LogFile, LinesOfManyThreadsAndProcessesStayWhole) {
  testing_support::TempDir dir;
  const std::string path = LogFilePath(dir.path());
  const std::string payload(300, 'x');
  constexpr int kThreads = 4;
  constexpr int kProcesses = 3;
  constexpr int kLines = 200;
  std::vector<pid_t> children;
  for (int p = 0; p < kProcesses; ++p) {
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      for (int i = 0; i < kLines; ++i) AppendLogLine(path, "process " + payload);
      _exit(0);
    }
    children.push_back(child);
  }
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&] {
      for (int i = 0; i < kLines; ++i) EXPECT_TRUE(AppendLogLine(path, "线程 " + payload));
    });
  }
  for (auto& thread : threads) thread.join();
  for (const pid_t child : children) {
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
  }
  const auto lines = linesOf(dir.read("Log/Zelk.log"));
  EXPECT_EQ(lines.size(), static_cast<std::size_t>((kThreads + kProcesses) * kLines));
  const std::regex shape(R"(\d{4}-\d\d-\d\d \d\d:\d\d:\d\d\.\d{3} (process|线程) x{300})");
  for (const auto& line : lines) ASSERT_TRUE(std::regex_match(line, shape)) << line;
}

TEST(LogFile, AFullLogIsRotatedOnceToDotOne) {
  testing_support::TempDir dir;
  const std::string path = LogFilePath(dir.path());
  ASSERT_TRUE(AppendLogLine(path, std::string(500, 'a'), 1000));
  ASSERT_TRUE(AppendLogLine(path, std::string(500, 'b'), 1000));
  ASSERT_TRUE(AppendLogLine(path, "after", 1000));
  EXPECT_EQ(linesOf(dir.read("Log/Zelk.log.1")).size(), 2u);
  const auto current = linesOf(dir.read("Log/Zelk.log"));
  ASSERT_EQ(current.size(), 1u);
  EXPECT_TRUE(current[0].ends_with(" after"));
}

TEST(Files, FilesFoldersAndTheirRemoval) {
  testing_support::TempDir dir;
  const std::string file = dir.write("a/file.txt", "x");
  EXPECT_TRUE(IsFile(file));
  EXPECT_FALSE(IsFolder(file));
  EXPECT_TRUE(IsFolder(dir.file("a")));
  EXPECT_FALSE(IsFile(dir.file("a")));
  EXPECT_FALSE(RemoveFile(dir.file("a"))) << "a folder is not a file";
  EXPECT_TRUE(RemoveFile(file));
  EXPECT_FALSE(RemoveFile(file));

  dir.write("keep/precious.txt", "p");
  fs::create_directory_symlink(dir.file("keep"), dir.file("link"));
  EXPECT_TRUE(RemoveFolder(dir.file("link")));
  EXPECT_EQ(dir.read("keep/precious.txt"), "p") << "the link goes, not what it points to";
  EXPECT_FALSE(RemoveFolder("/"));
  EXPECT_FALSE(RemoveFolder(""));
  EXPECT_FALSE(RemoveFolder(dir.file("missing")));
  dir.write("tree/x/y/z.txt", "z");
  EXPECT_TRUE(RemoveFolder(dir.file("tree")));
  EXPECT_FALSE(fs::exists(dir.file("tree")));

  EXPECT_TRUE(EnsureParentFolder(dir.file("new/deep/er/file.bin")));
  EXPECT_TRUE(IsFolder(dir.file("new/deep/er")));
  dir.write("blocker", "file");
  EXPECT_FALSE(EnsureParentFolder(dir.file("blocker/file.bin")));
}

TEST(Files, FoldersMoveAndMergeButNeverIntoThemselves) {
  testing_support::TempDir dir;
  dir.write("Pilotrex/run.sh", "new");
  dir.write("Pilotrex/sub/data", "d");
  ASSERT_TRUE(MoveFolder(dir.file("Pilotrex"), dir.file("Modules/Pilotrex/Pilotrex")));
  EXPECT_FALSE(fs::exists(dir.file("Pilotrex")));
  EXPECT_EQ(dir.read("Modules/Pilotrex/Pilotrex/sub/data"), "d");

  dir.write("src/run.sh", "newer");
  dir.write("Modules/Pilotrex/Pilotrex/own.cfg", "mine");
  ASSERT_TRUE(MoveFolder(dir.file("src"), dir.file("Modules/Pilotrex/Pilotrex")));
  EXPECT_EQ(dir.read("Modules/Pilotrex/Pilotrex/run.sh"), "newer");
  EXPECT_EQ(dir.read("Modules/Pilotrex/Pilotrex/own.cfg"), "mine");
  EXPECT_FALSE(fs::exists(dir.file("src")));

  dir.write("loop/a.txt", "a");
  EXPECT_FALSE(MoveFolder(dir.file("loop"), dir.file("loop/inner")));
  EXPECT_EQ(dir.read("loop/a.txt"), "a");
  dir.write("afile", "f");
  EXPECT_FALSE(MoveFolder(dir.file("loop"), dir.file("afile"))) << "a file in the way stays";
  EXPECT_FALSE(MoveFolder(dir.file("missing"), dir.file("x")));
}

TEST(Files, SizeAndEmbeddedVersion) {
  testing_support::TempDir dir;
  const auto plain = ReadFileSizeAndVersion(dir.write("a.txt", "12345"));
  ASSERT_TRUE(plain);
  EXPECT_EQ(plain->size, 5u);
  EXPECT_EQ(plain->version, "");
  const auto program =
      ReadFileSizeAndVersion(dir.write("Zelk", std::string("\x7f"
                                                           "ELF ZELK_FILE_VERSION=3.1.0.0\0 ",
                                                           32)));
  ASSERT_TRUE(program);
  EXPECT_EQ(program->size, 32u);
  EXPECT_EQ(program->version, "3.1.0.0");
  EXPECT_FALSE(ReadFileSizeAndVersion(dir.file("missing")));
  EXPECT_FALSE(ReadFileSizeAndVersion(dir.path()));
}

// A child process that opens the file its own way and holds it until told to end.
class Holder {
 public:
  Holder(const std::string& path, int flags, int lock) {
    int ready[2];
    int release[2];
    if (pipe(ready) != 0 || pipe(release) != 0) return;
    pid_ = fork();
    if (pid_ == 0) {
      close(ready[0]);
      close(release[1]);  // else the child would keep its own release pipe open
      const int fd = open(path.c_str(), flags);
      if (fd < 0) _exit(1);
      if (lock == 1) {
        struct flock range {};
        range.l_type = F_WRLCK;
        range.l_whence = SEEK_SET;
        if (fcntl(fd, F_SETLK, &range) != 0) _exit(2);
      } else if (lock == 2 && flock(fd, LOCK_EX) != 0) {
        _exit(3);
      }
      char byte = 1;
      if (write(ready[1], &byte, 1) != 1) _exit(4);
      if (read(release[0], &byte, 1) < 0) _exit(5);
      _exit(0);
    }
    close(ready[1]);
    close(release[0]);
    release_ = release[1];
    char byte = 0;
    ready_ = read(ready[0], &byte, 1) == 1;
    close(ready[0]);
  }
  ~Holder() {
    close(release_);
    if (pid_ > 0) waitpid(pid_, nullptr, 0);
  }
  bool ready() const { return ready_; }

 private:
  pid_t pid_ = -1;
  int release_ = -1;
  bool ready_ = false;
};

TEST(FileInUse, WritersAndLockHoldersElsewhereCountReadersDoNot) {
  testing_support::TempDir dir;
  const std::string path = dir.write("download.part", "data");
  EXPECT_FALSE(IsFileInUse(path));
  {
    Holder reader(path, O_RDONLY, 0);
    ASSERT_TRUE(reader.ready());
    EXPECT_FALSE(IsFileInUse(path));
  }
  {
    Holder writer(path, O_WRONLY | O_APPEND, 0);
    ASSERT_TRUE(writer.ready());
    EXPECT_TRUE(IsOpenForWritingElsewhere(path));
    EXPECT_TRUE(IsFileInUse(path));
  }
  {
    Holder locker(path, O_RDWR, 1);
    ASSERT_TRUE(locker.ready());
    EXPECT_TRUE(IsLockedElsewhere(path));
  }
  {
    Holder locker(path, O_RDONLY, 2);
    ASSERT_TRUE(locker.ready());
    EXPECT_TRUE(IsLockedElsewhere(path));
    EXPECT_TRUE(IsFileInUse(path));
  }
  EXPECT_FALSE(IsFileInUse(path)) << "all holders have ended";
  const int own = open(path.c_str(), O_WRONLY);
  EXPECT_FALSE(IsFileInUse(path)) << "our own descriptors do not count";
  close(own);
  EXPECT_FALSE(IsFileInUse(dir.file("missing")));
}

TEST(FileInUse, TheAccessModeIsReadFromFdInfo) {
  EXPECT_TRUE(FdInfoSaysWritable("pos:\t0\nflags:\t0100001\nmnt_id:\t29\n"));
  EXPECT_TRUE(FdInfoSaysWritable("pos:\t0\nflags:\t02100002\n"));
  EXPECT_FALSE(FdInfoSaysWritable("pos:\t0\nflags:\t0100000\n"));
  EXPECT_FALSE(FdInfoSaysWritable("pos:\t0\n"));
}

}  // namespace
}  // namespace zelklib
