#pragma once
// The box kinds of the library. Each registers under its TypeName.

#include "quorgrafica/Clsbox.h"

namespace quorgrafica {

// A framed, shadowed text rectangle.
class clsBoxRectangle : public clsBox {
public:
    explicit clsBoxRectangle(clsGraf* ownerGraf) : clsBox(ownerGraf) {}
    ~clsBoxRectangle() override = default;
    void Paint(TCanvas* canvas, bool selected, bool showName, bool showText,
               bool drawFlags) override;
    const char* TypeName() const override { return "clsBoxRectangle"; }
};

// A straight line from the frame's top-left to its bottom-right corner.
class clsBoxLine : public clsBox {
public:
    explicit clsBoxLine(clsGraf* ownerGraf) : clsBox(ownerGraf) {}
    ~clsBoxLine() override = default;
    void Paint(TCanvas* canvas, bool selected, bool showName, bool showText,
               bool drawFlags) override;
    bool HitTest(int x, int y) override;
    const char* TypeName() const override { return "clsBoxLine"; }
};

// A rectangle that opens onto a nested graph, owned by the box.
class clsBoxGroup : public clsBoxRectangle {
public:
    explicit clsBoxGroup(clsGraf* ownerGraf);
    ~clsBoxGroup() override;
    bool ReadKey(const quorbase::clsConfig& block, const quorbase::clsString& key, int& index,
                 const quorbase::clsString& value) override;
    void DataTo(quorbase::clsConfig& lines) override;
    const char* TypeName() const override { return "clsBoxGroup"; }

    clsGraf* Graf;
};

// A rectangle showing a picture file stretched over its frame.
class clsBoxPicture : public clsBoxRectangle {
public:
    explicit clsBoxPicture(clsGraf* ownerGraf) : clsBoxRectangle(ownerGraf) {}
    ~clsBoxPicture() override = default;
    void Paint(TCanvas* canvas, bool selected, bool showName, bool showText,
               bool drawFlags) override;
    const char* TypeName() const override { return "clsBoxPicture"; }

    // Set by the application; not part of the text format.
    quorbase::clsString PictureFile;
};

} // namespace quorgrafica
