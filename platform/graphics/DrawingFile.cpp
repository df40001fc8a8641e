#include "platform/graphics/DrawingFile.h"

#include "platform/core/CommandLine.h"
#include "platform/core/Encoding.h"
#include "platform/core/Exception.h"
#include "platform/graphics/ImageCanvas.h"
#include "platform/graphics/PdfCanvas.h"

#include <QFile>
#include <QString>

#include <filesystem>
#include <string>
#include <system_error>

namespace {

QString ToQString(const AnsiString& text) {
    return QString::fromStdU16String(Cp1252ToUtf16(text.view()));
}

// A PDF writer reports nothing: the file tells whether it was written.
bool StartsWith(const QString& name, const char* head) {
    QFile file(name);
    if (!file.open(QIODevice::ReadOnly)) return false;
    const QByteArray bytes = file.read(static_cast<qint64>(std::char_traits<char>::length(head)));
    return bytes == head;
}

} // namespace

bool IsDrawingFileName(const AnsiString& fileName) {
    return HasExtension(fileName.str(), {".png", ".pdf"});
}

bool SaveDrawing(const AnsiString& fileName, int width, int height, int dpi,
                 const std::function<void(TCanvas*)>& draw, AnsiString* error) {
    if (!IsDrawingFileName(fileName)) {
        if (error) *error = "Il file \"" + fileName + "\" deve terminare con .png o .pdf.";
        return false;
    }
    const QString name = ToQString(fileName);
    const QString temporary = name + ".tmp";
    QFile::remove(temporary);
    bool written = false;
    try {
        if (HasExtension(fileName.str(), {".pdf"})) {
            {
                TPdfCanvas page(AnsiString(fileName + ".tmp"), dpi);
                draw(&page);
                page.Finish();
            }
            written = StartsWith(temporary, "%PDF");
        } else {
            TImageCanvas image(width, height, dpi);
            draw(&image);
            written = image.Image().save(temporary, "PNG");
        }
    } catch (const Exception&) {
        // A PDF file that cannot be opened fails on the first stroke.
    }
    // Unlike QFile::rename, this replaces an older file.
    std::error_code failed;
    if (written)
        std::filesystem::rename(std::filesystem::path(temporary.toStdU16String()),
                                std::filesystem::path(name.toStdU16String()), failed);
    if (!written || failed) {
        QFile::remove(temporary);
        if (error) *error = "Impossibile scrivere il file \"" + fileName + "\".";
        return false;
    }
    return true;
}
