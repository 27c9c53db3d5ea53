#include "app/cli/JobCommand.h"

namespace bm::cli {

namespace {

// "--name value" or "--name=value"; `i` is left on the last argument used.
std::optional<std::string> ValueOf(const std::vector<std::string>& args, std::size_t& i, const std::string& name,
                                   std::string& error)
{
    const std::string& a = args[i];
    if (a.rfind(name + "=", 0) == 0)
        return a.substr(name.size() + 1);
    if (a != name)
        return std::nullopt;
    if (i + 1 >= args.size()) {
        error = name + " needs a value";
        return std::nullopt;
    }
    return args[++i];
}

}  // namespace

Result<JobOptions> ParseJobOptions(const std::vector<std::string>& args, bool takesWheel)
{
    JobOptions o;
    int outputs = 0;
    std::string error;
    for (std::size_t i = 0; i < args.size() && error.empty(); ++i) {
        const std::string& a = args[i];
        if (auto v = ValueOf(args, i, "--definition", error)) {
            o.definition = *v;
        } else if (auto w = takesWheel ? ValueOf(args, i, "--wheel", error) : std::nullopt) {
            o.wheel = *w;
        } else if (auto t = ValueOf(args, i, "--top", error)) {
            o.top = *t;
        } else if (auto l = ValueOf(args, i, "--left", error)) {
            o.left = *l;
        } else if (auto p = ValueOf(args, i, "--pdf", error)) {
            o.output = JobOptions::Output::Pdf;
            o.pdf = *p;
            ++outputs;
        } else if (auto q = ValueOf(args, i, "--printer", error)) {
            o.output = JobOptions::Output::Printer;
            o.printer = *q;
            ++outputs;
        } else if (a == "--marks") {
            o.output = JobOptions::Output::Marks;
            ++outputs;
        } else if (error.empty()) {
            error = "unknown option \"" + a + "\"";
        }
    }
    if (!error.empty())
        return Error{error};
    if (o.definition.empty())
        return Error{"--definition is missing: give a definition name such as LO649 or a .def file"};
    if (takesWheel && o.wheel.empty())
        return Error{"--wheel is missing: give the wheel file to print"};
    if (outputs > 1)
        return Error{"choose one of --pdf, --printer and --marks"};
    if (o.output == JobOptions::Output::Pdf && o.pdf.empty())
        return Error{"--pdf needs a file name"};
    if (o.output == JobOptions::Output::Printer && o.printer.empty())
        return Error{"--printer needs a printer name"};
    return o;
}

}  // namespace bm::cli
