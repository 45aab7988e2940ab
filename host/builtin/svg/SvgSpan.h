#pragma once
// A stretch of an SVG file's text (character offsets into the text as read), so that saving can
// copy what no command touched and splice in only what changed.

struct SvgSpan
{
    int start = -1; // first character
    int end = -1;   // one past the last character

    bool isValid() const { return start >= 0 && end >= start; }
    int length() const { return end - start; }
    bool operator==(const SvgSpan &o) const { return start == o.start && end == o.end; }
    bool operator<(const SvgSpan &o) const { return start < o.start; }
};
