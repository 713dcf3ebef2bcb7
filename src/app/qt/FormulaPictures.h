#pragma once

#include "app/InstallRoot.h"

#include <QImage>

#include <filesystem>
#include <string_view>

namespace quantem::ui {

/// Draws formula pictures as BMP files: the formula text in dark sans-serif letters on white,
/// one line, 60 pixels high and as wide as the text. Needs a QGuiApplication for its fonts.
class QtFormulaPictureRenderer : public app::FormulaPictureRenderer
{
public:
    /// Writes the picture of formulaText (blank for an empty text) to file as a BMP. Returns
    /// false when the file cannot be written.
    bool render(const std::filesystem::path& file, std::string_view formulaText) override;

    /// The picture of formulaText as drawn into the file.
    static QImage draw(std::string_view formulaText);
};

} // namespace quantem::ui
