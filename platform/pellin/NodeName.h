#pragma once
// Generator of unit names: a prefix and a counter ("E-" and 100 give "E-100", then "E-101").
#include "dunmor/CPString.h"

class NodeName {
public:
    NodeName(const CPString& prefix = CPString(), int firstNumber = 0) : m_prefix(prefix), m_number(firstNumber) {}

    // Prefix + counter; the counter then advances.
    CPString GetDefaultNodeName();
    const CPString& GetPrefix() const { return m_prefix; }
    void SetPrefix(const CPString& prefix) { m_prefix = prefix; }
    int GetNumber() const { return m_number; }
    void SetNumber(int number) { m_number = number; }

private:
    CPString m_prefix;
    int m_number;
};
