#pragma once
// Tests that measure text rely on the face they name: this tells whether the
// system really draws with it, so that a missing font fails by its name
// instead of measuring a fallback.

#include "platform/graphics/Font.h"
#include "platform/graphics/GuiApplication.h"

#include <gtest/gtest.h>

#include <QFont>
#include <QFontInfo>

inline ::testing::AssertionResult DrawsWithFace(const TFont& font, bool fixedPitch = false) {
    EnsureGuiApplication();
    const QFont asked = font.ToQFont();
    const QFontInfo used(asked);
    if (used.family() != asked.family())
        return ::testing::AssertionFailure()
               << "the font \"" << asked.family().toStdString() << "\" is not installed (\""
               << used.family().toStdString() << "\" would be used instead)";
    if (fixedPitch && !used.fixedPitch())
        return ::testing::AssertionFailure()
               << "the font \"" << asked.family().toStdString() << "\" is not monospaced";
    return ::testing::AssertionSuccess();
}
