#include "support/RecordingCanvas.h"

namespace quantem::test {

namespace {

    std::vector<CanvasCall> select(
        const std::vector<CanvasCall>& calls, CanvasCall::Kind kind, const core::Colour* colour)
    {
        std::vector<CanvasCall> chosen;
        for (const CanvasCall& call : calls) {
            if (call.kind == kind && (colour == nullptr || call.colour == *colour))
                chosen.push_back(call);
        }
        return chosen;
    }

} // namespace

void RecordingCanvas::clear()
{
    CanvasCall call;
    call.kind = CanvasCall::Kind::Clear;
    calls.push_back(call);
}

void RecordingCanvas::line(
    double x1, double y1, double x2, double y2, core::Colour colour, int width)
{
    calls.push_back(CanvasCall { CanvasCall::Kind::Line, x1, y1, x2, y2, colour, width, {} });
}

void RecordingCanvas::point(double x, double y, core::Colour colour, int width)
{
    calls.push_back(CanvasCall { CanvasCall::Kind::Point, x, y, 0.0, 0.0, colour, width, {} });
}

void RecordingCanvas::text(double x, double y, const std::string& text, core::Colour colour)
{
    calls.push_back(CanvasCall { CanvasCall::Kind::Text, x, y, 0.0, 0.0, colour, 0, text });
}

std::vector<CanvasCall> RecordingCanvas::lines(core::Colour colour) const
{
    return select(calls, CanvasCall::Kind::Line, &colour);
}

std::vector<CanvasCall> RecordingCanvas::points(core::Colour colour) const
{
    return select(calls, CanvasCall::Kind::Point, &colour);
}

std::vector<CanvasCall> RecordingCanvas::texts() const
{
    return select(calls, CanvasCall::Kind::Text, nullptr);
}

std::vector<std::string> RecordingCanvas::textStrings() const
{
    std::vector<std::string> strings;
    for (const CanvasCall& call : texts())
        strings.push_back(call.text);
    return strings;
}

std::size_t RecordingCanvas::callsSinceClear() const
{
    std::size_t count = 0;
    for (auto it = calls.rbegin(); it != calls.rend() && it->kind != CanvasCall::Kind::Clear; ++it)
        ++count;
    return count;
}

} // namespace quantem::test
