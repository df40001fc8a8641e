#pragma once
// TCustomImageList / TImageList: a numbered list of small pictures of one
// size (16 x 16 unless set), for the icons of tree nodes and menus. Pictures
// of another size are scaled to it when added. Controls that show the list
// register for its changes and are told when it goes away.

#include "platform/core/AnsiString.h"
#include "platform/core/Component.h"
#include "platform/core/Types.h"
#include "platform/gui/ControlTypes.h"

#include <QImage>

#include <functional>
#include <vector>

class TBitmap;
class TCanvas;

class TCustomImageList : public TComponent {
public:
    explicit TCustomImageList(TComponent* owner = nullptr);
    ~TCustomImageList() override;
    QUOR_CLASS_NAME(TCustomImageList)

    int Width() const { return width_; }
    int Height() const { return height_; }
    // Changing the size empties the list.
    void SetWidth(int width);
    void SetHeight(int height);
    int Count() const { return static_cast<int>(images_.size()); }

    // Appends a picture; returns its index. A mask's white pixels are left
    // transparent.
    int Add(const TBitmap* image, const TBitmap* mask = nullptr);
    // Appends a picture whose pixels of the given colour are transparent.
    int AddMasked(const TBitmap* image, TColor transparent);
    // Appends a picture read from a PNG, JPEG or BMP file (EInvalidGraphic
    // naming the file when it cannot be read).
    int AddFromFile(const AnsiString& fileName);
    int AddImage(const QImage& image);
    void Replace(int index, const TBitmap* image);
    void Delete(int index);
    void Clear();

    // Copies picture index into the bitmap (resized to the list's size);
    // false outside the list.
    bool GetBitmap(int index, TBitmap* image) const;
    void Draw(TCanvas* canvas, int x, int y, int index, bool enabled = true) const;
    // The picture, null image outside the list.
    QImage Image(int index) const;

    // The list changed or is being destroyed (destroyed is then true).
    using TChangeHandler = std::function<void(bool destroyed)>;
    void RegisterChanges(const void* client, TChangeHandler handler);
    void UnRegisterChanges(const void* client);

    TNotifyEvent OnChange;

private:
    void Changed();
    QImage Fit(const QImage& image) const;

    int width_ = 16;
    int height_ = 16;
    std::vector<QImage> images_;
    std::vector<std::pair<const void*, TChangeHandler>> clients_;
};

class TImageList : public TCustomImageList {
public:
    using TCustomImageList::TCustomImageList;
    QUOR_CLASS_NAME(TImageList)
};
