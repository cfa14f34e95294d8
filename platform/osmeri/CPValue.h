#pragma once
// Named value tree of the base-object library. A value has a number (or a text), a definition
// status, a lock status and an ordered list of named sub-values. Streams, exchangers and options
// keep their variables in such trees by name ("Temperature", "MassFlow", ...).
#include "dunmor/CPString.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string_view>
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
    // In the header: the unit models and the work list read sub-values by index in every calculation.
    CPValue* GetSubValue(std::size_t index) { return index < m_sub.size() ? m_sub[index].get() : nullptr; }
    const CPValue* GetSubValue(std::size_t index) const { return index < m_sub.size() ? m_sub[index].get() : nullptr; }
    CPValue* FindSubValue(std::string_view name);
    const CPValue* FindSubValue(std::string_view name) const;
    // Appends a new sub-value and answers it.
    CPValue* AddSubValue(const CPString& name, double value = Empty, int status = Unset);
    // Inserts before `index` (at the end when index is past it).
    CPValue* InsertSubValue(std::size_t index, const CPString& name, double value = Empty, int status = Unset);
    bool RemoveSubValue(std::size_t index);
    void ClearSubValues() { m_sub.clear(); }

    // Visits this value and every value below it, depth first.
    void ForEach(const std::function<void(CPValue&)>& visitor);
    void ForEach(const std::function<void(const CPValue&)>& visitor) const;

    // ---- the accessors simulator-case code uses ----
    // A value is known when its status is not Unset; the flag is 0 while the value is empty.
    std::int16_t _get_nKnown() const { return m_status != Unset ? 1 : 0; }
    bool IsKnown() const { return m_status != Unset; }
    double GetAsDouble() const { return m_isText ? Empty : m_value; }
    // The number as a 16-bit integer (the low 16 bits of its rounded value; 0 for an empty or
    // text value), so that a 16-bit code stored as a number reads back bit for bit.
    std::int16_t GetAsShort(int reserved = 0) const;
    // The text, or the number written out (empty for an empty number).
    CPString GetAsString() const;
    // Known values (status Specified).
    void Set(double value) { SetValue(value, Specified); }
    void Set(const CPString& text) { SetText(text, Specified); }
    void Set(const char* text) { SetText(text ? text : "", Specified); }
    void Set(std::int16_t value, int reserved) { (void)reserved; SetValue(value, Specified); }
    CPValue* GetSubvalueByName(const CPString& name) { return FindSubValue(name); }
    const CPValue* GetSubvalueByName(const CPString& name) const { return FindSubValue(name); }
    CPValue* GetSubvalueByIndex(std::size_t index) { return GetSubValue(index); }
    std::size_t GetSubvalueCount() const { return m_sub.size(); }
    // A cursor over the sub-values kept on the value: a walk nested inside another walk of the
    // same value must use GetSubValue by index instead.
    CPValue* GetFirstSubvalue();
    CPValue* GetNextSubvalue();
    CPValue* AddSubvalue(double value, const CPString& name, int reserved = 0);
    CPValue* AddSubvalue(const CPString& text, const CPString& name, int reserved = 0);
    // Copies the numbers of the sub-values (every entry, an empty one as -32767) into `buffer`
    // as doubles, at most `bytes` / 8 of them; answers how many were copied. Only `kind` 32
    // (doubles) is known; another kind copies nothing.
    std::size_t BuildVectorRepresentation(int kind, double* buffer, std::size_t bytes) const;
    // The sub-values' numbers as a vector (the same entries).
    std::vector<double> GetVector() const;
    // The selector picks an entry of a value for the simulator's own views; it is not stored.
    int _get_nSelector() const { return m_nSelector; }
    void _set_nSelector(int selector, int reserved) { (void)reserved; m_nSelector = selector; }
    // The unit text is a label only: values are in engine units whatever it says. Not stored.
    const CPString* _get_punstrUnits() const { return m_units.get(); }
    void SetUnits(const CPString& units) { m_units = units.empty() ? nullptr : std::make_unique<CPString>(units); }

    // Compares name, number or text, status, lock and sub-values (not units or selector).
    bool operator==(const CPValue& other) const;

private:
    CPString m_name;
    double m_value = Empty;
    int m_status = Unset;
    int m_lockStatus = 0;
    bool m_isText = false;
    CPString m_text;
    // Held apart: few values carry a unit, and every stream value is a CPValue.
    std::unique_ptr<CPString> m_units;
    int m_nSelector = 0;
    std::size_t m_cursor = 0;
    std::vector<std::unique_ptr<CPValue>> m_sub;
};
