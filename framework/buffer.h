// CBuffer: an owned array of plain values, zero-filled, on the C runtime's heap.
// The framework's and the program's containers are these rather than the
// standard library's, whose out-of-line parts throw and so bring the exception
// runtime into the program. Out of memory a buffer keeps what it had.
#pragma once
#include <cstdint>
#include <cstdlib>
#include <cstring>

template <class T>
class CBuffer {
public:
    CBuffer() = default;
    explicit CBuffer(size_t n) { Resize(n); }
    CBuffer(const T* p, size_t n)
    {
        if (Resize(n) && n) memcpy(m_p, p, n * sizeof(T));
    }
    CBuffer(const CBuffer& other) : CBuffer(other.m_p, other.m_n) {}
    CBuffer(CBuffer&& other) noexcept : m_p(other.m_p), m_n(other.m_n)
    {
        other.m_p = nullptr;
        other.m_n = 0;
    }
    CBuffer& operator=(CBuffer other) noexcept
    {
        T* p = m_p;
        m_p = other.m_p, m_n = other.m_n;
        other.m_p = p;
        return *this;
    }
    ~CBuffer() { free(m_p); }

    // Grows (the new values zero) or shrinks to n; false, unchanged, when out of memory.
    bool Resize(size_t n)
    {
        if (n == 0) {
            free(m_p);
            m_p = nullptr, m_n = 0;
            return true;
        }
        if (n > SIZE_MAX / sizeof(T)) return false;   // its size in bytes would wrap round
        T* p = static_cast<T*>(realloc(m_p, n * sizeof(T)));
        if (!p) return false;
        if (n > m_n) memset(static_cast<void*>(p + m_n), 0, (n - m_n) * sizeof(T));
        m_p = p, m_n = n;
        return true;
    }

    T* data() { return m_p; }
    const T* data() const { return m_p; }
    size_t size() const { return m_n; }
    bool empty() const { return m_n == 0; }
    T& operator[](size_t i) { return m_p[i]; }
    const T& operator[](size_t i) const { return m_p[i]; }
    T* begin() { return m_p; }
    T* end() { return m_p + m_n; }
    const T* begin() const { return m_p; }
    const T* end() const { return m_p + m_n; }

private:
    T* m_p = nullptr;
    size_t m_n = 0;
};
