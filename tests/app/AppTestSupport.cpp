#include "app/AppTestSupport.h"

#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

namespace bmtest {

bm::Result<std::unique_ptr<bm::PrintSurface>> RecordingTarget::PrinterSurface()
{
    if (!notReady.empty())
        return bm::Error{notReady};
    return Record({bm::Destination::Kind::Printer, used.empty() ? "office" : used});
}

std::unique_ptr<bm::PrintSurface> RecordingTarget::PdfSurface(const std::filesystem::path& file)
{
    pdfFiles.push_back(file);
    return Record({bm::Destination::Kind::File, file.string()});
}

namespace {

// Records the job, telling `onFill` of each mark first; leaves its recording in `slot` when the
// job lets go of it.
class HookedRecording final : public bm::RecordingSurface {
public:
    HookedRecording(std::shared_ptr<bm::RecordingSurface> slot, std::function<void(int)> onFill,
                    bm::Destination destination)
        : slot_(std::move(slot)),
          onFill_(std::move(onFill)),
          destination_(std::move(destination))
    {}
    ~HookedRecording() override { *slot_ = *this; }
    void FillBox(float x1, float y1, float x2, float y2) override
    {
        if (onFill_)
            onFill_(sheet_);
        RecordingSurface::FillBox(x1, y1, x2, y2);
    }
    void NextPage() override
    {
        ++sheet_;
        RecordingSurface::NextPage();
    }
    bm::Destination HandedTo() const override { return destination_; }

private:
    std::shared_ptr<bm::RecordingSurface> slot_;
    std::function<void(int)> onFill_;
    bm::Destination destination_;
    int sheet_ = 1;
};

}  // namespace

std::unique_ptr<bm::PrintSurface> RecordingTarget::Record(bm::Destination destination)
{
    jobs.push_back(std::make_shared<bm::RecordingSurface>());
    auto surface = std::make_unique<HookedRecording>(jobs.back(), onFill, std::move(destination));
    if (!refusal.empty())
        surface->RefuseDocument(refusal);
    return surface;
}

ProgramHome::ProgramHome(const std::vector<std::string>& sampleDefinitions)
{
    dir_.makeProgramFolder();
    for (const auto& name : sampleDefinitions)
        AddDefinition(name + ".def", name);
}

void ProgramHome::AddDefinition(const std::string& listedName, const std::string& sampleName) const
{
    std::filesystem::copy_file(std::filesystem::path(SAMPLE_DIR) / "Defs" / (sampleName + ".def"), defs() / listedName,
                               std::filesystem::copy_options::overwrite_existing);
}

void ProgramHome::WriteWheel(const std::string& file, const std::string& text) const
{
    WriteBytes(wheel(file), text);
}

MainWindowRig::MainWindowRig(const ProgramHome& home, int pumpIntervalMs)
{
    bm::app::frmMain::Services services{bm::ProgramFolder(home.path()), &printer, &windows,
                                        [this](const QUrl& url) {
                                            helpOpened.push_back(url.toLocalFile());
                                            return helpOpens;
                                        },
                                        pumpIntervalMs};
    window = std::make_unique<bm::app::frmMain>(std::move(services));
    window->show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(window.get(), kHangLimitMs));
}

MainWindowRig::~MainWindowRig()
{
    window.reset();
}

void MainWindowRig::Click(const char* button)
{
    QTest::mouseClick(Child<QPushButton>(button), Qt::LeftButton);
}

void MainWindowRig::ClickRow(int row, bool twice)
{
    auto* list = Child<QListWidget>("File1");
    const QPoint at = list->visualItemRect(list->item(row)).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
    if (twice)
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
}

std::string MainWindowRig::JobStatus() const
{
    std::string s;
    for (const char* name : {"lblcnt", "lblupdate", "lblF", "Label2"}) {
        auto* label = Child<QLabel>(name);
        s += (s.empty() ? "" : " / ") + (label->isVisible() ? label->text().toStdString() : std::string("-"));
    }
    return s;
}

void MainWindowRig::Choose(const char* listedName)
{
    auto* list = Child<QListWidget>("File1");
    list->setCurrentItem(list->findItems(QString::fromLatin1(listedName), Qt::MatchExactly).constFirst());
}

}  // namespace bmtest
