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
    ipp_attribute_t* a = collection ? ippFindAttribute(collection, name, IPP_TAG_INTEGER) : nullptr;
    return a ? ippGetInteger(a, 0) : 0;
}

// A media-col value: media-size (x-dimension, y-dimension) and the four margins.
std::optional<PaperArea> FromCollection(ipp_t* col)
{
    ipp_attribute_t* sizeAttr = col ? ippFindAttribute(col, "media-size", IPP_TAG_BEGIN_COLLECTION) : nullptr;
    ipp_t* size = sizeAttr ? ippGetCollection(sizeAttr, 0) : nullptr;
    return FromHundredths(Member(size, "x-dimension"), Member(size, "y-dimension"), Member(col, "media-left-margin"),
                          Member(col, "media-top-margin"), Member(col, "media-right-margin"),
                          Member(col, "media-bottom-margin"));
}

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
        std::optional<PaperArea> paper;
        // A paper the user chose for the queue wins; otherwise the printer's own default. (Not
        // cupsGetDestMediaDefault: when the default's size is a fraction off the named size, as
        // with PPD sizes in points, it quietly falls back to US Letter.)
        cups_size_t size{};
        if (const char* media = cupsGetOption("media", dest->num_options, dest->options);
            media && cupsGetDestMediaByName(CUPS_HTTP_DEFAULT, dest, info, media, 0, &size)) {
            paper = FromHundredths(size.width, size.length, size.left, size.top, size.right, size.bottom);
        } else if (ipp_attribute_t* col = cupsFindDestDefault(CUPS_HTTP_DEFAULT, dest, info, "media-col")) {
            paper = FromCollection(ippGetCollection(col, 0));
        }
        cupsFreeDestInfo(info);
        return paper;
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
