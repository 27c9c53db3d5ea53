#include <cups/cups.h>
#include <cups/ppd.h>
#include <dlfcn.h>
#include <unistd.h>

#include <cctype>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>

#include <iterator>
#include <memory>
#include <string_view>

#include "printing/Spooler.h"

namespace bm {

namespace {

// libcups is loaded the first time the printing system is asked, not when the program starts: it
// brings some thirty libraries (TLS, Kerberos, D-Bus) that a command writing a PDF or checking
// tickets never needs, and their loading took most of a command's start and memory.
// clang-format off
#define BM_CUPS_FUNCTIONS(X) \
    X(cupsAddOption) X(cupsCopyDestInfo) X(cupsDoRequest) X(cupsFindDestDefault) \
    X(cupsFindDestSupported) X(cupsFreeDestInfo) X(cupsFreeDests) X(cupsFreeOptions) X(cupsGetDest) \
    X(cupsGetDestMediaByName) X(cupsGetDests2) X(cupsGetOption) X(cupsLastError) \
    X(cupsLastErrorString) X(cupsPrintFile) X(httpAssembleURIf) X(ippAddString) X(ippAddStrings) \
    X(ippFindAttribute) X(ippGetBoolean) X(ippGetCollection) X(ippGetCount) X(ippGetInteger) \
    X(ippGetString) X(ippNewRequest) X(ippPort) X(ippDelete) X(ippGetRange) X(ippGetValueTag) \
    X(cupsGetPPD3) X(ppdOpenFile) X(ppdFindOption) X(ppdClose)
// clang-format on

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
struct CupsApi {
// A member named as the function: the name cannot be put in parentheses.
// NOLINTNEXTLINE(bugprone-macro-parentheses)
#define BM_CUPS_MEMBER(name) decltype(&::name) name = nullptr;
    BM_CUPS_FUNCTIONS(BM_CUPS_MEMBER)
#undef BM_CUPS_MEMBER
    std::string error;  // why the library could not be used; empty when it can
};
#pragma GCC diagnostic pop

constexpr const char* kCupsLibrary = "libcups.so.2";

const CupsApi& Api()
{
    static const CupsApi api = [] {
        CupsApi a;
        void* library = ::dlopen(kCupsLibrary, RTLD_NOW | RTLD_LOCAL);
        if (!library) {
            const char* why = ::dlerror();
            a.error = std::string(kCupsLibrary) + " could not be loaded" + (why ? std::string(": ") + why : "");
            return a;
        }
        const auto load = [&](auto& function, const char* name) {
            void* symbol = ::dlsym(library, name);
            if (!symbol && a.error.empty())
                a.error = std::string(kCupsLibrary) + " has no " + name;
            static_assert(sizeof function == sizeof symbol);
            std::memcpy(&function, &symbol, sizeof function);
        };
#define BM_CUPS_LOAD(name) load(a.name, #name);
        BM_CUPS_FUNCTIONS(BM_CUPS_LOAD)
#undef BM_CUPS_LOAD
        return a;
    }();
    return api;
}

bool Loaded()
{
    return Api().error.empty();
}

std::string NotLoadedText()
{
    return "The printing system (CUPS) cannot be used: " + Api().error;
}

// The destination list of one query, freed with it.
class Dests {
public:
    Dests() : count_(Api().cupsGetDests2(CUPS_HTTP_DEFAULT, &dests_)) {}
    ~Dests() { Api().cupsFreeDests(count_, dests_); }
    Dests(const Dests&) = delete;
    Dests& operator=(const Dests&) = delete;

    int count() const { return count_; }
    cups_dest_t* at(int i) const { return dests_ + i; }
    cups_dest_t* find(const std::string& name) const
    {
        return Api().cupsGetDest(name.c_str(), nullptr, count_, dests_);
    }

private:
    cups_dest_t* dests_ = nullptr;
    int count_;
};

// CUPS measures paper in hundredths of a millimetre.
std::optional<PaperArea> FromHundredths(int width, int length, int left, int top, int right, int bottom)
{
    if (width <= 0 || length <= 0)
        return std::nullopt;
    const auto mm = [](int hundredths) { return static_cast<float>(hundredths) / 100.0f; };
    return PaperArea{mm(width), mm(length), mm(left), mm(top), mm(right), mm(bottom)};
}

int Member(ipp_t* collection, const char* name)
{
    ipp_attribute_t* a = collection ? Api().ippFindAttribute(collection, name, IPP_TAG_INTEGER) : nullptr;
    return a ? Api().ippGetInteger(a, 0) : 0;
}

// A media-col value: media-size (x-dimension, y-dimension) and the four margins.
std::optional<PaperArea> FromCollection(ipp_t* col)
{
    ipp_attribute_t* sizeAttr = col ? Api().ippFindAttribute(col, "media-size", IPP_TAG_BEGIN_COLLECTION) : nullptr;
    ipp_t* size = sizeAttr ? Api().ippGetCollection(sizeAttr, 0) : nullptr;
    return FromHundredths(Member(size, "x-dimension"), Member(size, "y-dimension"), Member(col, "media-left-margin"),
                          Member(col, "media-top-margin"), Member(col, "media-right-margin"),
                          Member(col, "media-bottom-margin"));
}

// The state-reasons keywords other than "none", as CUPS lists them.
std::string Reasons(ipp_attribute_t* reasons)
{
    std::string out;
    for (int i = 0; reasons && i < Api().ippGetCount(reasons); ++i) {
        const char* keyword = Api().ippGetString(reasons, i, nullptr);
        if (keyword && std::string_view(keyword) != "none")
            out += (out.empty() ? "" : ", ") + std::string(keyword);
    }
    return out;
}

// The state the destination list holds for the printer; there is no message there.
PrinterState ListedState(const std::string& printer)
{
    Dests dests;
    const cups_dest_t* dest = dests.find(printer);
    if (!dest)
        return PrinterState{false, false, false, {}};
    const auto option = [dest](const char* name) {
        const char* value = Api().cupsGetOption(name, dest->num_options, dest->options);
        return std::string(value ? value : "");
    };
    PrinterState state;
    state.stopped = option("printer-state") == std::to_string(IPP_PSTATE_STOPPED);
    state.accepting = option("printer-is-accepting-jobs") != "false";
    state.reason = option("printer-state-reasons") == "none" ? "" : option("printer-state-reasons");
    return state;
}

// The InputSlot choices of a driver-based queue, as its PPD names them ("MultiTray") and as the
// driver shows them ("Bypass Tray"); none for a queue without a PPD or without the option. CUPS
// does not turn a job's media-source into the driver's InputSlot, so a tray reaches such a printer
// only as its PPD choice. (The PPD calls are the only way to that list: deprecated, not gone.)
std::vector<PaperSource> DriverSlots(const std::string& printer)
{
    std::vector<PaperSource> slots;
    if (!Loaded())
        return slots;
    char file[1024] = "";
    time_t modified = 0;  // required: without it libcups refuses ("No modification time")
    if (Api().cupsGetPPD3(CUPS_HTTP_DEFAULT, printer.c_str(), &modified, file, sizeof file) != HTTP_STATUS_OK)
        return slots;
    if (ppd_file_t* ppd = Api().ppdOpenFile(file)) {
        if (ppd_option_t* slot = Api().ppdFindOption(ppd, "InputSlot"))
            for (int i = 0; i < slot->num_choices; ++i)
                slots.push_back({slot->choices[i].choice,
                                 slot->choices[i].text[0] ? slot->choices[i].text : slot->choices[i].choice});
        Api().ppdClose(ppd);
    }
    ::unlink(file);
    return slots;
}

// Letters and digits only, lower case: "tray-1" and "Tray1" are one tray.
std::string Folded(const std::string& name)
{
    std::string out;
    for (const char c : name)
        if (std::isalnum(static_cast<unsigned char>(c)))
            out += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

// The driver's choice for a source remembered as its choice or as an IPP keyword; empty for none.
std::string DriverSlot(const std::vector<PaperSource>& slots, const std::string& source)
{
    for (const auto& s : slots)
        if (s.keyword == source)
            return s.keyword;
    for (const auto& s : slots)
        if (Folded(s.keyword) == Folded(source) || Folded(s.label) == Folded(source))
            return s.keyword;
    return {};
}

class CupsSpooler : public Spooler {
public:
    std::vector<std::string> Printers() override
    {
        if (!Loaded())
            return {};
        Dests dests;
        std::vector<std::string> names;
        for (int i = 0; i < dests.count(); ++i)
            if (!dests.at(i)->instance)
                names.emplace_back(dests.at(i)->name);
        return names;
    }

    std::string DefaultPrinter() override
    {
        if (!Loaded())
            return {};
        Dests dests;
        for (int i = 0; i < dests.count(); ++i)
            if (dests.at(i)->is_default)
                return dests.at(i)->name;
        return {};
    }

    std::string Description(const std::string& printer) override
    {
        if (!Loaded())
            return {};
        Dests dests;
        const cups_dest_t* dest = dests.find(printer);
        if (!dest)
            return {};
        const char* info = Api().cupsGetOption("printer-info", dest->num_options, dest->options);
        return info ? info : "";
    }

    std::optional<PaperArea> Paper(const std::string& printer) override
    {
        if (!Loaded())
            return std::nullopt;
        Dests dests;
        cups_dest_t* dest = dests.find(printer);
        if (!dest)
            return std::nullopt;
        cups_dinfo_t* info = Api().cupsCopyDestInfo(CUPS_HTTP_DEFAULT, dest);
        if (!info)
            return std::nullopt;
        std::optional<PaperArea> paper;
        // A paper the user chose for the queue wins; otherwise the printer's own default. (Not
        // cupsGetDestMediaDefault: when the default's size is a fraction off the named size, as
        // with PPD sizes in points, it quietly falls back to US Letter.)
        cups_size_t size{};
        if (const char* media = Api().cupsGetOption("media", dest->num_options, dest->options);
            media && Api().cupsGetDestMediaByName(CUPS_HTTP_DEFAULT, dest, info, media, 0, &size)) {
            paper = FromHundredths(size.width, size.length, size.left, size.top, size.right, size.bottom);
        } else if (ipp_attribute_t* col = Api().cupsFindDestDefault(CUPS_HTTP_DEFAULT, dest, info, "media-col")) {
            paper = FromCollection(Api().ippGetCollection(col, 0));
        }
        Api().cupsFreeDestInfo(info);
        return paper;
    }

    // Asked of the daemon itself: the destination list's copy of the state may be old and lacks the
    // state message (the reason an administrator gave). Only a printer the daemon has no queue for
    // yet (one found on the network) is judged by the list.
    Result<PrinterState> State(const std::string& printer) override
    {
        if (!Loaded())
            return Error{NotLoadedText()};
        char uri[HTTP_MAX_URI];
        Api().httpAssembleURIf(HTTP_URI_CODING_ALL, uri, sizeof uri, "ipp", nullptr, "localhost", Api().ippPort(),
                               "/printers/%s", printer.c_str());
        ipp_t* request = Api().ippNewRequest(IPP_OP_GET_PRINTER_ATTRIBUTES);
        Api().ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, uri);
        static const char* const wanted[] = {"printer-state", "printer-state-message", "printer-state-reasons",
                                             "printer-is-accepting-jobs"};
        Api().ippAddStrings(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes",
                            static_cast<int>(std::size(wanted)), nullptr, wanted);
        ipp_t* response = Api().cupsDoRequest(CUPS_HTTP_DEFAULT, request, "/");  // frees the request
        const std::shared_ptr<ipp_t> held(response, Api().ippDelete);
        if (Api().cupsLastError() == IPP_STATUS_ERROR_NOT_FOUND)
            return ListedState(printer);
        if (!response || Api().cupsLastError() > IPP_STATUS_OK_CONFLICTING)
            return Error{"The printing system could not say whether the printer \"" + printer +
                         "\" is ready: " + Api().cupsLastErrorString()};
        PrinterState state;
        if (ipp_attribute_t* a = Api().ippFindAttribute(response, "printer-state", IPP_TAG_ENUM))
            state.stopped = Api().ippGetInteger(a, 0) == IPP_PSTATE_STOPPED;
        if (ipp_attribute_t* a = Api().ippFindAttribute(response, "printer-is-accepting-jobs", IPP_TAG_BOOLEAN))
            state.accepting = Api().ippGetBoolean(a, 0) != 0;
        if (ipp_attribute_t* a = Api().ippFindAttribute(response, "printer-state-message", IPP_TAG_TEXT))
            state.reason = Api().ippGetString(a, 0, nullptr) ? Api().ippGetString(a, 0, nullptr) : "";
        if (state.reason.empty())
            state.reason = Reasons(Api().ippFindAttribute(response, "printer-state-reasons", IPP_TAG_KEYWORD));
        return state;
    }

    bool TakesPaper(const std::string& printer, const bm::Paper& wanted) override
    {
        if (!Loaded())
            return true;
        Dests dests;
        cups_dest_t* dest = dests.find(printer);
        cups_dinfo_t* info = dest ? Api().cupsCopyDestInfo(CUPS_HTTP_DEFAULT, dest) : nullptr;
        if (!info)
            return true;  // nothing known to judge by: as the printer is set up
        // Sizes given in points or inches differ from the millimetres by a fraction.
        const auto fits = [](ipp_t* size, const char* name, float mm) {
            ipp_attribute_t* a = size ? Api().ippFindAttribute(size, name, IPP_TAG_ZERO) : nullptr;
            if (!a)
                return false;
            const int hundredths = static_cast<int>(std::lround(mm * 100));
            if (Api().ippGetValueTag(a) == IPP_TAG_RANGE) {
                int upper = 0;
                const int lower = Api().ippGetRange(a, 0, &upper);
                return hundredths >= lower - 50 && hundredths <= upper + 50;
            }
            return std::abs(Api().ippGetInteger(a, 0) - hundredths) <= 50;
        };
        ipp_attribute_t* sizes = Api().cupsFindDestSupported(CUPS_HTTP_DEFAULT, dest, info, "media-size");
        bool listed = !sizes;
        for (int i = 0; sizes && !listed && i < Api().ippGetCount(sizes); ++i) {
            ipp_t* size = Api().ippGetCollection(sizes, i);
            listed = fits(size, "x-dimension", wanted.width) && fits(size, "y-dimension", wanted.height);
        }
        Api().cupsFreeDestInfo(info);
        return listed;
    }

    std::string ChosenDefault() override
    {
        // Where libcups looks, in its order. (cupsGetDefault2 reports a missing lpoptions default
        // as the server's, so the files are read here.)
        for (const char* variable : {"LPDEST", "PRINTER"})
            if (const char* v = std::getenv(variable); v && *v && std::string_view(v) != "lp")
                return v;
        std::vector<std::filesystem::path> files;
        if (const char* home = std::getenv("HOME"); home && *home)
            files.push_back(std::filesystem::path(home) / ".cups" / "lpoptions");
        const char* root = std::getenv("CUPS_SERVERROOT");
        files.push_back(std::filesystem::path(root && *root ? root : "/etc/cups") / "lpoptions");
        for (const auto& file : files) {
            std::ifstream in(file);
            for (std::string line; std::getline(in, line);)
                if (line.rfind("Default ", 0) == 0) {
                    std::string name = line.substr(8);
                    name = name.substr(0, name.find_first_of(" /\t\r"));
                    if (!name.empty())
                        return name;
                }
        }
        return {};
    }

    std::vector<PaperSource> Sources(const std::string& printer) override
    {
        if (!Loaded())
            return {};
        if (auto slots = DriverSlots(printer); !slots.empty())
            return slots;
        Dests dests;
        cups_dest_t* dest = dests.find(printer);
        if (!dest)
            return {};
        cups_dinfo_t* info = Api().cupsCopyDestInfo(CUPS_HTTP_DEFAULT, dest);
        if (!info)
            return {};
        std::vector<PaperSource> sources;
        ipp_attribute_t* supported = Api().cupsFindDestSupported(CUPS_HTTP_DEFAULT, dest, info, "media-source");
        for (int i = 0; supported && i < Api().ippGetCount(supported); ++i)
            if (const char* keyword = Api().ippGetString(supported, i, nullptr))
                sources.push_back({keyword, SourceLabel(keyword)});
        Api().cupsFreeDestInfo(info);
        return sources;
    }

    Result<int> Submit(const std::string& printer, const std::filesystem::path& pdf, const std::string& title,
                       const PaperChoice& paper) override
    {
        if (!Loaded())
            return Error{NotLoadedText()};
        cups_option_t* options = nullptr;
        int count = 0;
        if (paper.paper)
            count = Api().cupsAddOption("media", PaperMedia(*paper.paper).c_str(), count, &options);
        if (!paper.source.empty()) {
            if (const std::string slot = DriverSlot(DriverSlots(printer), paper.source); !slot.empty())
                count = Api().cupsAddOption("InputSlot", slot.c_str(), count, &options);
            else
                count = Api().cupsAddOption("media-source", paper.source.c_str(), count, &options);
        }
        const int job = Api().cupsPrintFile(printer.c_str(), pdf.c_str(), title.c_str(), count, options);
        Api().cupsFreeOptions(count, options);
        if (job <= 0)
            return Error{"The printer \"" + printer + "\" did not take the job: " + Api().cupsLastErrorString()};
        return job;
    }
};

}  // namespace

std::unique_ptr<Spooler> SystemSpooler()
{
    return std::make_unique<CupsSpooler>();
}

bool AnyPrinterInstalled()
{
    return !SystemSpooler()->Printers().empty();
}

}  // namespace bm
