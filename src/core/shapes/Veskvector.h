#pragma once

#include <cstddef>
#include <initializer_list>
#include <memory>
#include <vector>

namespace vesk {

// The growable array shapes keep their point data in: a vector that copies
// of an object share until one of them changes it, so copying a shape (a
// history step, a clone) costs a reference instead of its points. Reading
// goes through the const members; every non-const member first gives this
// array a vector of its own, so a change never reaches another holder.
template <typename T> class TVeskVector {
public:
    using value_type = T;
    using iterator = typename std::vector<T>::iterator;
    using const_iterator = typename std::vector<T>::const_iterator;

    TVeskVector() = default;
    TVeskVector(std::vector<T> items)
        : d_(items.empty() ? nullptr : std::make_shared<std::vector<T>>(std::move(items)))
    {
    }
    TVeskVector(std::initializer_list<T> items)
        : TVeskVector(std::vector<T>(items))
    {
    }

    const std::vector<T>& Get() const { return d_ ? *d_ : none(); }
    operator const std::vector<T>&() const { return Get(); }

    std::size_t size() const { return Get().size(); }
    bool empty() const { return Get().empty(); }
    const T& operator[](std::size_t i) const { return Get()[i]; }
    const T& front() const { return Get().front(); }
    const_iterator begin() const { return Get().begin(); }
    const_iterator end() const { return Get().end(); }

    T& operator[](std::size_t i) { return own()[i]; }
    T& front() { return own().front(); }
    iterator begin() { return own().begin(); }
    iterator end() { return own().end(); }
    void push_back(const T& v) { own().push_back(v); }
    void reserve(std::size_t n) { own().reserve(n); }
    void resize(std::size_t n) { own().resize(n); }
    void resize(std::size_t n, const T& v) { own().resize(n, v); }
    void assign(std::size_t n, const T& v) { own().assign(n, v); }
    void clear() { d_.reset(); }
    iterator erase(const_iterator pos) { return own().erase(toMutable(pos)); }
    iterator erase(const_iterator first, const_iterator last)
    {
        return own().erase(toMutable(first), toMutable(last));
    }
    iterator insert(const_iterator pos, const T& v) { return own().insert(toMutable(pos), v); }
    iterator insert(const_iterator pos, std::size_t n, const T& v)
    {
        return own().insert(toMutable(pos), n, v);
    }

    friend bool operator==(const TVeskVector& a, const TVeskVector& b)
    {
        return a.d_ == b.d_ || a.Get() == b.Get();
    }

private:
    static const std::vector<T>& none()
    {
        static const std::vector<T> none;
        return none;
    }

    std::vector<T>& own()
    {
        if (!d_)
            d_ = std::make_shared<std::vector<T>>();
        else if (d_.use_count() > 1)
            d_ = std::make_shared<std::vector<T>>(*d_);
        return *d_;
    }

    // An iterator of the vector as it was before own() may have copied it,
    // moved to the same position in the vector now owned.
    iterator toMutable(const_iterator pos)
    {
        const auto offset = pos - Get().begin();
        return own().begin() + offset;
    }

    std::shared_ptr<std::vector<T>> d_;
};

} // namespace vesk
