#pragma once

#include "core/ScratchStore.h"

#include <QMainWindow>

class QPlainTextEdit;

namespace quantem::data {

/// The read-only viewer of the data report bgx.sys, in a fixed-width font so that its columns
/// line up.
class ReportViewerWindow : public QMainWindow
{
    Q_OBJECT

public:
    explicit ReportViewerWindow(const core::ScratchStore& store, QWidget* parent = nullptr);

    QPlainTextEdit* textView() const noexcept { return m_text; }
    bool reportMissing() const noexcept { return m_missing; }

private:
    QPlainTextEdit* m_text;
    bool m_missing = false;
};

} // namespace quantem::data
