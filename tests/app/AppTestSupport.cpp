#include "app/AppTestSupport.h"

#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

namespace bmtest {

bm::Result<std::unique_ptr<bm::PrintSurface>> RecordingTarget::PrinterSurface()
{
    return Record();
}

std::unique_ptr<bm::PrintSurface> RecordingTarget::PdfSurface(const std::filesystem::path& file)
{
    pdfFiles.push_back(file);
    return Record();
}

namespace {

// Hands every call on to the job's recording, telling `onFill` first.
class HookedSurface : public bm::PrintSurface {
public:
    HookedSurface(std::shared_ptr<bm::RecordingSurface> r, std::function<void(int)> onFill)
        : r_(std::move(r)), onFill_(std::move(onFill))
    {
    }
    void UseMillimetres() override { r_->UseMillimetres(); }
    void SetOrientation(bm::Orientation o) override { r_->SetOrientation(o); }
    void FillBox(float x1, float y1, float x2, float y2) override
    {
        if (onFill_)
            onFill_(sheet_);
        r_->FillBox(x1, y1, x2, y2);
    }
    void NextPage() override
    {
        ++sheet_;
        r_->NextPage();
    }
    bm::Status EndDocument() override { return r_->EndDocument(); }
    void AbandonDocument() override { r_->AbandonDocument(); }

private:
    std::shared_ptr<bm::RecordingSurface> r_;
    std::function<void(int)> onFill_;
    int sheet_ = 1;
};

}  // namespace

std::unique_ptr<bm::PrintSurface> RecordingTarget::Record()
{
    jobs.push_back(std::make_shared<bm::RecordingSurface>());
    if (!refusal.empty())
        jobs.back()->RefuseDocument(refusal);
    return std::make_unique<HookedSurface>(jobs.back(), onFill);
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
                                            return true;
                                        },
                                        pumpIntervalMs};
    window = std::make_unique<bm::app::frmMain>(std::move(services));
    window->show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(window.get()));
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

void MainWindowRig::Choose(const char* listedName)
{
    auto* list = Child<QListWidget>("File1");
    list->setCurrentItem(list->findItems(QString::fromLatin1(listedName), Qt::MatchExactly).constFirst());
}

}  // namespace bmtest
