#include "app/cli/CatalogueSupport.h"

#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "printing/qt/PrintTestTools.h"

namespace bmtest {

Lab::Lab() : home_(dir_ / "home"), out_(dir_ / "out")
{
    namespace fs = std::filesystem;
    fs::create_directories(home_);
    for (const char* sub : {"Defs", "wheel"})
        fs::copy(fs::path(SAMPLE_DIR) / sub, home_ / sub, fs::copy_options::recursive);
    fs::create_directories(home_ / "Settings");
    fs::create_directories(home_ / "Summary");
    fs::create_directories(out_);
}

std::filesystem::path Lab::Put(const std::string& relative, std::string_view bytes) const
{
    const auto path = home_ / relative;
    std::filesystem::create_directories(path.parent_path());
    WriteBytes(path, bytes);
    return path;
}

std::string Lab::Expand(std::string text) const
{
    for (const auto& [key, value] : {std::pair{std::string("{home}"), home_.string()}, {"{out}", out_.string()}})
        for (std::size_t at = text.find(key); at != std::string::npos; at = text.find(key, at + value.size()))
            text.replace(at, key.size(), value);
    return text;
}

Snapshot TakeSnapshot(const std::vector<std::filesystem::path>& roots)
{
    namespace fs = std::filesystem;
    Snapshot shot;
    for (const auto& root : roots) {
        std::error_code ec;
        for (auto it = fs::recursive_directory_iterator(root, ec); !ec && it != fs::recursive_directory_iterator();
             it.increment(ec)) {
            const auto& p = it->path();
            if (it->is_fifo(ec))
                shot[p.string()] = "<pipe>";
            else if (it->is_directory(ec))
                shot[p.string()] = "<folder>";
            else
                shot[p.string()] = ReadBytes(p);
        }
    }
    return shot;
}

std::string Difference(const Snapshot& before, const Snapshot& after)
{
    for (const auto& [path, bytes] : before) {
        const auto it = after.find(path);
        if (it == after.end())
            return path + " was removed";
        if (it->second != bytes)
            return path + " was changed";
    }
    for (const auto& [path, bytes] : after)
        if (!before.count(path))
            return path + " was created";
    return {};
}

ProgramRun RunProgram(const std::vector<std::string>& args)
{
    std::string command = Quoted(BRINDLEMARK_EXE);
    for (const auto& a : args)
        command += " " + Quoted(a);
    const Ran ran = RunShell(command + " </dev/null", "QT_QPA_PLATFORM=offscreen");
    return {ran.status, ran.out, ran.err};
}

namespace {

// Opens the pipe for writing once a reader has it open; gives up after a few seconds, so a
// program that reads the file only once does not hang the test.
void HandOver(const std::filesystem::path& path, const std::string& text)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    int fd = -1;
    while ((fd = ::open(path.c_str(), O_WRONLY | O_NONBLOCK)) < 0) {
        if (errno != ENXIO || std::chrono::steady_clock::now() > deadline)
            return;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    for (std::size_t done = 0; done < text.size();) {
        const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n <= 0)
            break;
        done += static_cast<std::size_t>(n);
    }
    ::close(fd);
}

}  // namespace

ChangingFile::ChangingFile(std::filesystem::path path, std::string first, std::string second) : path_(std::move(path))
{
    ::mkfifo(path_.c_str(), 0600);
    writer_ = std::thread([path = path_, first = std::move(first), second = std::move(second)] {
        HandOver(path, first);
        // The first reader is woken by the close at once; the pause only keeps a reader that was
        // busy between two reads from taking the second text as more of the first.
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        HandOver(path, second);
    });
}

ChangingFile::~ChangingFile()
{
    writer_.join();
}

}  // namespace bmtest
