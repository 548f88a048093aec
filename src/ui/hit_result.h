#pragma once
// The answer of a hit test: Miss, Hit or Indeterminate, combined with the
// operators of three-valued (Kleene) logic. Only Hit counts as true.

namespace ui {

class HitResult {
public:
    enum Value : int { Miss = 0, Hit = 1, Indeterminate = 2 };

    constexpr HitResult(Value value = Miss) : value_(value) {}
    static constexpr HitResult fromBool(bool hit) { return hit ? Hit : Miss; }

    constexpr Value value() const { return value_; }
    constexpr explicit operator bool() const { return value_ == Hit; }

    // Miss and Hit swap; Indeterminate stays.
    friend constexpr HitResult operator!(HitResult a)
    {
        return a.value_ == Indeterminate ? Indeterminate : a.value_ == Hit ? Miss : Hit;
    }
    // Miss if either is Miss, Hit if both are Hit, else Indeterminate.
    friend constexpr HitResult operator&(HitResult a, HitResult b)
    {
        if (a.value_ == Miss || b.value_ == Miss)
            return Miss;
        return a.value_ == Hit && b.value_ == Hit ? Hit : Indeterminate;
    }
    // Hit if either is Hit, Miss if both are Miss, else Indeterminate.
    friend constexpr HitResult operator|(HitResult a, HitResult b)
    {
        if (a.value_ == Hit || b.value_ == Hit)
            return Hit;
        return a.value_ == Miss && b.value_ == Miss ? Miss : Indeterminate;
    }
    // Three-valued equality: Indeterminate if either is, else whether they agree.
    friend constexpr HitResult equals(HitResult a, HitResult b)
    {
        if (a.value_ == Indeterminate || b.value_ == Indeterminate)
            return Indeterminate;
        return fromBool(a.value_ == b.value_);
    }
    // Identity of the values (not the three-valued equality).
    friend constexpr bool operator==(HitResult a, HitResult b) { return a.value_ == b.value_; }

private:
    Value value_;
};

} // namespace ui
