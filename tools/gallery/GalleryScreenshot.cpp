#include "tools/gallery/GalleryScreenshot.h"

#include "controls/QuorTreeView.h"
#include "platform/core/Encoding.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/DrawingFile.h"
#include "platform/gui/Menus.h"
#include "tools/gallery/GalleryForm.h"

#include <QMenu>
#include <QPainter>
#include <QPixmap>
#include <QWidget>

#include <initializer_list>

namespace gallery {
namespace {

// Selects the child of parent (the top level when null) with that caption,
// as a click would, and opens it.
TTreeNode* Open(TQuorTreeView* tree, TTreeNode* parent, const char* caption) {
    TTreeNode* node = parent ? parent->getFirstChild() : tree->Items()->GetFirstNode();
    for (; node; node = node->getNextSibling())
        if (node->Text() == AnsiString(caption)) break;
    if (!node) return parent;
    tree->SetSelected(node);
    node->SetExpanded(true);
    return node;
}

} // namespace

void StageScreenshot(TfrmGalleria* form) {
    TQuorTreeView* tree = form->tvConti;
    TTreeNode* node = nullptr;
    for (const char* caption : {"Manutenzioni", "Facciate e coperture", "Tetto", "Scala A"})
        node = Open(tree, node, caption);
    if (!node || !tree->PopupMenu()) return;
    const TRect r = node->DisplayRect(true);
    QWidget* view = tree->Widget();
    const QPoint at = view->mapToGlobal(QPoint(r.Right + 12, (r.Top + r.Bottom) / 2));
    tree->PopupMenu()->SetPopupComponent(tree);
    tree->PopupMenu()->Popup(at.x(), at.y());
}

bool SaveScreenshot(TfrmGalleria* form, const std::string& file, std::string& error) {
    QWidget* window = form->Widget();
    QImage shot = window->grab().toImage().convertToFormat(QImage::Format_RGB32);
    // The popup menu is a window of its own: painted where it stands.
    if (TPopupMenu* popup = form->tvConti->PopupMenu())
        if (QMenu* menu = popup->MenuWidget()) {
            QPainter painter(&shot);
            painter.drawPixmap(menu->pos() - window->mapToGlobal(QPoint(0, 0)), menu->grab());
        }
    TBitmap bitmap(shot);
    AnsiString message;
    if (SaveDrawing(AnsiString(Utf8ToCp1252(file)), shot.width(), shot.height(), 96,
                    [&](TCanvas* canvas) { canvas->Draw(0, 0, &bitmap); }, &message))
        return true;
    error = Cp1252ToUtf8(message.view());
    return false;
}

} // namespace gallery
