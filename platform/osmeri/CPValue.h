#pragma once
// Named value tree of the base-object library. A value has a number (or a text), a definition
// status, a lock status and an ordered list of named sub-values. Streams, exchangers and options
// keep their variables in such trees by name ("Temperature", "MassFlow", ...).
#include "dunmor/CPString.h"

#include <cstddef>
#include <functional>
#include <memory>
#include <vector>

class CPValue {
public:
    // Definition status of a value.
    enum Status : int { Unset = 0, Specified = 1, Calculated = 2 };
    static constexpr double Empty = -32767.0;

    explicit CPValue(const CPString& name = CPString(), double value = Empty, int status = Unset);
    CPValue(const CPValue& other);
    CPValue& operator=(const CPValue& other);
    CPValue(CPValue&&) noexcept = default;
    CPValue& operator=(CPValue&&) noexcept = default;
    ~CPValue() = default;

    const CPString& GetName() const { return m_name; }
    void SetName(const CPString& name) { m_name = name; }

    double GetValue() const { return m_value; }
    // Stores the value with its status; an empty value always carries status Unset.
    void SetValue(double value, int status);
    void Clear() { m_value = Empty; m_status = Unset; m_isText = false; m_text.clear(); }
    bool IsEmpty() const { return !m_isText && m_value == Empty; }

    bool IsText() const { return m_isText; }
    const CPString& GetText() const { return m_text; }
    void SetText(const CPString& text, int status);

    int GetStatus() const { return m_status; }
    void SetStatus(int status) { m_status = status; }
    int GetLockStatus() const { return m_lockStatus; }
    void _set_nLockStatus(int lock) { m_lockStatus = lock; }

    // Conversions used by callers that read a value as a number of another width.
    explicit operator double() const { return m_value; }
    explicit operator long() const { return static_cast<long>(m_value); }

    // Sub-values, in order.
    std::size_t GetNumberOfSubValues() const { return m_sub.size(); }
    CPValue* GetSubValue(std::size_t index);
    const CPValue* GetSubValue(std::size_t index) const;
    CPValue* FindSubValue(const CPString& name);
    const CPValue* FindSubValue(const CPString& name) const;
    // Appends a new sub-value and answers it.
    CPValue* AddSubValue(const CPString& name, double value = Empty, int status = Unset);
    // Inserts before `index` (at the end when index is past it).
    CPValue* InsertSubValue(std::size_t index, const CPString& name, double value = Empty, int status = Unset);
    bool RemoveSubValue(std::size_t index);
    void ClearSubValues() { m_sub.clear(); }

    // Visits this value and every value below it, depth first.
    void ForEach(const std::function<void(CPValue&)>& visitor);
    void ForEach(const std::function<void(const CPValue&)>& visitor) const;

    bool operator==(const CPValue& other) const;

private:
    CPString m_name;
    double m_value = Empty;
    int m_status = Unset;
    int m_lockStatus = 0;
    bool m_isText = false;
    CPString m_text;
    std::vector<std::unique_ptr<CPValue>> m_sub;
};
