#pragma once
// A decimal integer collected one character at a time that reads exactly as QString::toInt with
// base 10 would read the collected text: an optional leading "-", then at least one digit, the
// value within the 32-bit range; any other text reads 0. Collecting it in place avoids keeping
// an unbounded text for a file that is one long run of digits.

#include <climits>

class IntField
{
public:
    void clear() { *this = IntField(); }
    bool isEmpty() const { return !collected; }
    // c is a digit or '-'.
    void add(char c)
    {
        const bool first = !collected;
        collected = true;
        if (c == '-') {
            if (first)
                negative = true;
            else
                malformed = true;
            return;
        }
        hasDigit = true;
        if (!malformed) {
            magnitude = magnitude * 10 + (c - '0');
            if (magnitude > 2147483648LL)
                malformed = true;
        }
    }
    // Takes the run of digits '0'..'9' that starts at p (character codes of any width) and
    // returns where it ends.
    template <typename Code> const Code *takeDigits(const Code *p, const Code *end)
    {
        collected = true;
        hasDigit = true;
        long long m = magnitude;
        bool bad = malformed;
        for (; p != end; ++p) {
            const unsigned d = unsigned(*p) - '0';
            if (d > 9)
                break;
            if (!bad) {
                m = m * 10 + d;
                bad = m > 2147483648LL;
            }
        }
        magnitude = m;
        malformed = bad;
        return p;
    }
    int toInt() const
    {
        if (malformed || !hasDigit)
            return 0;
        const long long v = negative ? -magnitude : magnitude;
        if (v > INT_MAX || v < INT_MIN)
            return 0;
        return int(v);
    }

private:
    long long magnitude = 0;
    bool collected = false;
    bool negative = false;
    bool hasDigit = false;
    bool malformed = false;
};
