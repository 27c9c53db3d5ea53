#include <set>

#include "cli/JobCommand.h"

namespace bm::cli {

std::optional<std::string> ValueOf(const std::vector<std::string>& args, std::size_t& i, const std::string& name,
                                   std::string& error, std::set<std::string>& seen)
{
    const std::string& a = args[i];
    if (a != name && a.rfind(name + "=", 0) != 0)
        return std::nullopt;
    if (!seen.insert(name).second) {
        error = name + " is given twice";
        return std::nullopt;
    }
    if (a != name)
        return a.substr(name.size() + 1);
    if (i + 1 >= args.size()) {
        error = name + " needs a value";
        return std::nullopt;
    }
    return args[++i];
}

Result<JobOptions> ParseJobOptions(const std::vector<std::string>& args, bool takesWheel)
{
    JobOptions o;
    int outputs = 0;
    std::string error;
    std::set<std::string> seen;
    const auto value = [&](std::size_t& i, const std::string& name) { return ValueOf(args, i, name, error, seen); };
    for (std::size_t i = 0; i < args.size() && error.empty(); ++i) {
        const std::string& a = args[i];
        if (auto v = value(i, "--definition")) {
            o.definition = *v;
        } else if (auto w = takesWheel ? value(i, "--wheel") : std::nullopt) {
            o.wheel = *w;
        } else if (auto t = value(i, "--top")) {
            o.top = *t;
        } else if (auto l = value(i, "--left")) {
            o.left = *l;
        } else if (auto p = value(i, "--pdf")) {
            o.output = JobOptions::Output::Pdf;
            o.pdf = *p;
            ++outputs;
        } else if (auto q = value(i, "--printer")) {
            o.output = JobOptions::Output::Printer;
            o.printer = *q;
            ++outputs;
        } else if (auto size = value(i, "--paper")) {
            if (auto paper = ParsePaper(*size))
                o.paper = *paper;
            else
                error = paper.error().message;
        } else if (auto factors = value(i, "--scale")) {
            if (auto scale = ParseScale(*factors))
                o.scale = *scale;
            else
                error = scale.error().message;
        } else if (auto r = takesWheel ? value(i, "--slips") : std::nullopt) {
            o.slips = *r;
            if (o.slips.empty())
                error = "--slips needs a range of slips such as 3, 3-4 or 3-";
        } else if (takesWheel && a == "--outline" && !seen.insert(a).second) {
            error = "--outline is given twice";
        } else if (takesWheel && a == "--outline") {
            o.outline = true;
        } else if (a == "--marks" && !seen.insert(a).second) {
            error = "--marks is given twice";
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
    if (o.outline && o.output != JobOptions::Output::Pdf)
        return Error{"--outline draws box outlines into a PDF only: give --pdf FILE as well"};
    if (o.output == JobOptions::Output::Printer && o.printer.empty())
        return Error{"--printer needs a printer name"};
    return o;
}

}  // namespace bm::cli
