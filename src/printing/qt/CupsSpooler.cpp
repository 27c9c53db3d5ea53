#include <cups/cups.h>

#include "printing/qt/Spooler.h"

namespace bm {

namespace {

// The destination list of one query, freed with it.
class Dests {
public:
    Dests() : count_(cupsGetDests2(CUPS_HTTP_DEFAULT, &dests_)) {}
    ~Dests() { cupsFreeDests(count_, dests_); }
    Dests(const Dests&) = delete;
    Dests& operator=(const Dests&) = delete;

    int count() const { return count_; }
    cups_dest_t* at(int i) const { return dests_ + i; }
    cups_dest_t* find(const std::string& name) const
    {
        return cupsGetDest(name.c_str(), nullptr, count_, dests_);
    }

private:
    cups_dest_t* dests_ = nullptr;
    int count_;
};

class CupsSpooler : public Spooler {
public:
    std::vector<std::string> Printers() override
    {
        Dests dests;
        std::vector<std::string> names;
        for (int i = 0; i < dests.count(); ++i)
            if (!dests.at(i)->instance)
                names.emplace_back(dests.at(i)->name);
        return names;
    }

    std::string DefaultPrinter() override
    {
        Dests dests;
        for (int i = 0; i < dests.count(); ++i)
            if (dests.at(i)->is_default)
                return dests.at(i)->name;
        return {};
    }

    std::optional<PaperArea> Paper(const std::string& printer) override
    {
        Dests dests;
        cups_dest_t* dest = dests.find(printer);
        if (!dest)
            return std::nullopt;
        cups_dinfo_t* info = cupsCopyDestInfo(CUPS_HTTP_DEFAULT, dest);
        if (!info)
            return std::nullopt;
        cups_size_t size{};
        const int found = cupsGetDestMediaDefault(CUPS_HTTP_DEFAULT, dest, info, 0, &size);
        cupsFreeDestInfo(info);
        if (!found || size.width <= 0 || size.length <= 0)
            return std::nullopt;
        // CUPS measures in hundredths of a millimetre.
        const auto mm = [](int hundredths) { return static_cast<float>(hundredths) / 100.0f; };
        return PaperArea{mm(size.width), mm(size.length), mm(size.left), mm(size.top), mm(size.right), mm(size.bottom)};
    }

    Result<int> Submit(const std::string& printer, const std::filesystem::path& pdf, const std::string& title) override
    {
        const int job = cupsPrintFile(printer.c_str(), pdf.c_str(), title.c_str(), 0, nullptr);
        if (job <= 0)
            return Error{"The printer \"" + printer + "\" did not take the job: " + cupsLastErrorString()};
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
