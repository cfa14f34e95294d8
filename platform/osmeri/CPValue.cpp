#include "osmeri/CPValue.h"

#include <cmath>
#include <cstdio>
#include <algorithm>
#include <cstring>

CPValue::CPValue(const CPString& name, double value, int status)
    : m_name(name), m_value(value), m_status(value == Empty ? Unset : status) {}

CPValue::CPValue(const CPValue& other)
    : m_name(other.m_name),
      m_value(other.m_value),
      m_status(other.m_status),
      m_lockStatus(other.m_lockStatus),
      m_isText(other.m_isText),
      m_text(other.m_text),
      m_units(other.m_units ? std::make_unique<CPString>(*other.m_units) : nullptr),
      m_nSelector(other.m_nSelector) {
    m_sub.reserve(other.m_sub.size());
    for (const auto& s : other.m_sub) m_sub.push_back(std::make_unique<CPValue>(*s));
}

CPValue& CPValue::operator=(const CPValue& other) {
    if (this != &other) {
        CPValue copy(other);
        *this = std::move(copy);
    }
    return *this;
}

void CPValue::SetValue(double value, int status) {
    m_isText = false;
    m_text.clear();
    m_value = value;
    m_status = (value == Empty) ? Unset : status;
}

void CPValue::SetText(const CPString& text, int status) {
    m_isText = true;
    m_text = text;
    m_value = Empty;
    m_status = status;
}

CPValue* CPValue::FindSubValue(std::string_view name) {
    for (auto& s : m_sub)
        if (s->m_name == name) return s.get();
    return nullptr;
}

const CPValue* CPValue::FindSubValue(std::string_view name) const {
    for (const auto& s : m_sub)
        if (s->m_name == name) return s.get();
    return nullptr;
}

CPValue* CPValue::AddSubValue(const CPString& name, double value, int status) {
    m_sub.push_back(std::make_unique<CPValue>(name, value, status));
    return m_sub.back().get();
}

CPValue* CPValue::InsertSubValue(std::size_t index, const CPString& name, double value, int status) {
    if (index > m_sub.size()) index = m_sub.size();
    auto it = m_sub.insert(m_sub.begin() + static_cast<std::ptrdiff_t>(index),
                           std::make_unique<CPValue>(name, value, status));
    return it->get();
}

bool CPValue::RemoveSubValue(std::size_t index) {
    if (index >= m_sub.size()) return false;
    m_sub.erase(m_sub.begin() + static_cast<std::ptrdiff_t>(index));
    return true;
}

void CPValue::ForEach(const std::function<void(CPValue&)>& visitor) {
    visitor(*this);
    for (auto& s : m_sub) s->ForEach(visitor);
}

void CPValue::ForEach(const std::function<void(const CPValue&)>& visitor) const {
    visitor(*this);
    for (const auto& s : m_sub) static_cast<const CPValue&>(*s).ForEach(visitor);
}

bool CPValue::operator==(const CPValue& other) const {
    if (m_name != other.m_name || m_value != other.m_value || m_status != other.m_status ||
        m_lockStatus != other.m_lockStatus || m_isText != other.m_isText || m_text != other.m_text ||
        m_sub.size() != other.m_sub.size())
        return false;
    for (std::size_t i = 0; i < m_sub.size(); ++i)
        if (!(*m_sub[i] == *other.m_sub[i])) return false;
    return true;
}

std::int16_t CPValue::GetAsShort(int) const {
    if (m_isText || m_value == Empty || !std::isfinite(m_value) || std::fabs(m_value) > 1e15) return 0;
    const auto whole = static_cast<long long>(std::llround(m_value));
    return static_cast<std::int16_t>(static_cast<std::uint16_t>(static_cast<unsigned long long>(whole) & 0xFFFFu));
}

CPString CPValue::GetAsString() const {
    if (m_isText) return m_text;
    if (m_value == Empty) return CPString();
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.17g", m_value);
    return buffer;
}

CPValue* CPValue::GetFirstSubvalue() {
    m_cursor = 0;
    return GetNextSubvalue();
}

CPValue* CPValue::GetNextSubvalue() {
    if (m_cursor >= m_sub.size()) return nullptr;
    return m_sub[m_cursor++].get();
}

CPValue* CPValue::AddSubvalue(double value, const CPString& name, int) {
    return AddSubValue(name, value, value == Empty ? Unset : Specified);
}

CPValue* CPValue::AddSubvalue(const CPString& text, const CPString& name, int) {
    CPValue* sub = AddSubValue(name);
    sub->SetText(text, Specified);
    return sub;
}

std::size_t CPValue::BuildVectorRepresentation(int kind, double* buffer, std::size_t bytes) const {
    if (kind != 32 || !buffer) return 0;
    const std::size_t n = std::min(bytes / sizeof(double), m_sub.size());
    for (std::size_t i = 0; i < n; ++i) {
        const double v = m_sub[i]->GetAsDouble();
        std::memcpy(buffer + i, &v, sizeof v);
    }
    return n;
}

std::vector<double> CPValue::GetVector() const {
    std::vector<double> out;
    out.reserve(m_sub.size());
    for (const auto& s : m_sub) out.push_back(s->GetAsDouble());
    return out;
}
