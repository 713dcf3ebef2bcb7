#pragma once

#include <QGuiApplication>

#include <memory>

namespace quantem::cli {

/// Starts the toolkit without a display when the program has not started it (the headless
/// program never shows a window); the application lives as long as the pointer, which is empty
/// when one was running already.
std::unique_ptr<QGuiApplication> startOffscreenToolkit();

} // namespace quantem::cli
