#include "checking/window/ReportBox.h"

#include <algorithm>

#include <QAbstractListModel>
#include <QClipboard>
#include <QGuiApplication>
#include <QKeyEvent>

namespace bm::app {

// The text and where each of its lines starts; a row is a line.
class ReportBox::Lines : public QAbstractListModel {
public:
    using QAbstractListModel::QAbstractListModel;

    int rowCount(const QModelIndex& parent) const override
    {
        return parent.isValid() ? 0 : static_cast<int>(starts_.size());
    }

    QVariant data(const QModelIndex& index, int role) const override
    {
        if (role != Qt::DisplayRole || !index.isValid())
            return {};
        return QString::fromStdString(std::string(Line(index.row())));
    }

    std::string_view Line(int row) const
    {
        const std::size_t b = starts_[static_cast<std::size_t>(row)];
        const std::size_t next = static_cast<std::size_t>(row) + 1 < starts_.size()
                                     ? starts_[static_cast<std::size_t>(row) + 1]
                                     : text_.size();
        std::string_view line(text_.data() + b, next - b);
        if (!line.empty() && line.back() == '\n')
            line.remove_suffix(1);
        return line;
    }

    void Append(std::string_view text)
    {
        if (text.empty())
            return;
        // An unfinished last line grows in place; every line feed starts a new row after it.
        const bool openLine = !text_.empty() && text_.back() != '\n';
        std::vector<std::size_t> fresh;
        std::size_t at = text_.size();
        if (!openLine)
            fresh.push_back(at);
        for (std::size_t i = text.find('\n'); i != std::string_view::npos && i + 1 < text.size();
             i = text.find('\n', i + 1))
            fresh.push_back(at + i + 1);
        text_.append(text);
        if (openLine)
            emit dataChanged(index(rowCount({}) - 1), index(rowCount({}) - 1));
        if (fresh.empty())
            return;
        const int first = rowCount({});
        beginInsertRows({}, first, first + static_cast<int>(fresh.size()) - 1);
        starts_.insert(starts_.end(), fresh.begin(), fresh.end());
        endInsertRows();
    }

    void Clear()
    {
        beginResetModel();
        text_.clear();
        starts_.clear();
        endResetModel();
    }

    const std::string& text() const { return text_; }

private:
    std::string text_;
    std::vector<std::size_t> starts_;
};

ReportBox::ReportBox(QWidget* parent) : QListView(parent), lines_(new Lines(this))
{
    setModel(lines_);
    setUniformItemSizes(true);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
}

ReportBox::~ReportBox() = default;

void ReportBox::Append(std::string_view text)
{
    lines_->Append(text);
}

void ReportBox::Clear()
{
    lines_->Clear();
}

const std::string& ReportBox::Text() const
{
    return lines_->text();
}

void ReportBox::keyPressEvent(QKeyEvent* event)
{
    if (!event->matches(QKeySequence::Copy)) {
        QListView::keyPressEvent(event);
        return;
    }
    // The chosen lines as text, in report order.
    QModelIndexList rows = selectionModel()->selectedRows();
    std::sort(rows.begin(), rows.end(), [](const QModelIndex& a, const QModelIndex& b) { return a.row() < b.row(); });
    QString copied;
    for (const QModelIndex& row : rows)
        copied += QString::fromStdString(std::string(lines_->Line(row.row()))) + QLatin1Char('\n');
    QGuiApplication::clipboard()->setText(copied);
}

}  // namespace bm::app
