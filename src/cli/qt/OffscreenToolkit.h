#pragma once

#include <QGuiApplication>

#include <memory>
#include <optional>
#include <string>

namespace quantem::cli {

/// Why the toolkit cannot be started here, as the end of a sentence: too few file descriptors
/// are left for it (ulimit -n). None when nothing is seen to keep it from starting.
std::optional<std::string> offscreenToolkitObstacle();

/// Starts the toolkit without a display when the program has not started it (the headless
/// program never shows a window); the application lives as long as the pointer, which is empty
/// when one was running already. What the program printed on standard output is flushed first:
/// a fatal failure of the toolkit ends the program with status 1, saying why on standard error,
/// and leaves that output whole.
std::unique_ptr<QGuiApplication> startOffscreenToolkit();

} // namespace quantem::cli
