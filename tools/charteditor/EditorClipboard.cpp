#include "tools/charteditor/EditorClipboard.h"

#include "platform/graphics/GuiApplication.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

namespace charteditor {

void PutChartText(const std::string& text) {
    EnsureGuiApplication();
    auto* data = new QMimeData();
    const QByteArray bytes(text.data(), static_cast<qsizetype>(text.size()));
    data->setData(QString::fromLatin1(ChartMimeType), bytes);
    data->setText(QString::fromUtf8(bytes));
    QGuiApplication::clipboard()->setMimeData(data);
}

std::string ClipboardText() {
    EnsureGuiApplication();
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    if (!data) return std::string();
    if (data->hasFormat(QString::fromLatin1(ChartMimeType))) {
        const QByteArray bytes = data->data(QString::fromLatin1(ChartMimeType));
        return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
    }
    if (!data->hasText()) return std::string();
    return data->text().toUtf8().toStdString();
}

} // namespace charteditor
