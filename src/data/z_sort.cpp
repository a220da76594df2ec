// Sorting the rows of a data set by z: by counting when z holds few distinct values, otherwise by an in-place
// radix sort on 64-bit keys; past 2^32 rows by a stable index sort.
#include "data/z_sort.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <numeric>
#include <optional>

#include "data/huge_pages.h"

namespace
{

// Sorting by z is by counting (below) when z holds few distinct values, and otherwise a radix sort done in
// place, so that ten million rows need no more than their own columns and one row number each. The z column
// itself holds the radix sort's keys while it is sorted: 64-bit patterns whose unsigned order is the order of z
// by <, with -0 equal to +0 and every NaN last. Each key travels with the number of the row it came from; rows
// of equal key end in file order, as a stable sort leaves them. The other columns then follow the row numbers.

constexpr std::uint64_t nan_key = ~std::uint64_t{0};
constexpr std::uint64_t sign_bit = std::uint64_t{1} << 63;
constexpr std::uint64_t zero_key = sign_bit;

std::uint64_t z_key(double v)
{
    if (std::isnan(v))
        return nan_key;
    const auto bits = std::bit_cast<std::uint64_t>(v == 0 ? 0.0 : v);
    return (bits & sign_bit) != 0 ? ~bits : bits | sign_bit;
}

// The value of a key, for every key but those of NaN and of zero, whose sign and bits are kept apart.
double z_of_key(std::uint64_t key)
{
    return std::bit_cast<double>((key & sign_bit) != 0 ? key & ~sign_bit : ~key);
}

// The z column seen as keys: its bytes are reused, read and written through memcpy.
class key_column
{
public:
    explicit key_column(std::vector<double>& z) : slots(z.data()) {}
    std::uint64_t operator[](std::size_t i) const
    {
        std::uint64_t key;
        std::memcpy(&key, slots + i, sizeof key);
        return key;
    }
    void set(std::size_t i, std::uint64_t key) { std::memcpy(slots + i, &key, sizeof key); }

private:
    double* slots;
};

struct keyed_rows {
    key_column key;
    std::uint32_t* row;

    bool before(std::size_t a, std::size_t b) const { return key[a] < key[b] || (key[a] == key[b] && row[a] < row[b]); }
    void swap(std::size_t a, std::size_t b)
    {
        const std::uint64_t k = key[a];
        key.set(a, key[b]);
        key.set(b, k);
        std::swap(row[a], row[b]);
    }
};

constexpr std::size_t small_range = 32;

void insertion_sort(keyed_rows& r, std::size_t lo, std::size_t hi)
{
    for (std::size_t i = lo + 1; i < hi; ++i)
        for (std::size_t j = i; j > lo && r.before(j, j - 1); --j)
            r.swap(j, j - 1);
}

std::size_t digit(std::uint64_t key, int byte)
{
    return static_cast<std::size_t>(key >> (8 * byte)) & 255;
}

// Counts the rows of [lo, hi) per value of key byte `byte`; true when they all hold one key.
bool count_digits(const keyed_rows& r, std::size_t lo, std::size_t hi, int byte, std::array<std::size_t, 256>& count)
{
    const std::uint64_t first = r.key[lo];
    bool one_key = true;
    for (std::size_t i = lo; i < hi; ++i) {
        const std::uint64_t key = r.key[i];
        ++count[digit(key, byte)];
        one_key = one_key && key == first;
    }
    return one_key;
}

// Moves every row of [lo, hi) into the bucket of its key byte, by swapping along cycles: each row taken out goes
// to the next free place of its bucket and displaces the row there, until a row belongs where the cycle began.
void deal_to_buckets(keyed_rows& r, std::size_t lo, int byte, const std::array<std::size_t, 256>& count)
{
    std::array<std::size_t, 256> next{}, end{};
    for (std::size_t b = 0, at = lo; b < 256; ++b) {
        next[b] = at;
        at += count[b];
        end[b] = at;
    }
    for (std::size_t b = 0; b < 256; ++b) {
        while (next[b] < end[b]) {
            std::uint64_t key = r.key[next[b]];
            std::uint32_t row = r.row[next[b]];
            for (std::size_t d = digit(key, byte); d != b; d = digit(key, byte)) {
                const std::size_t to = next[d]++;
                const std::uint64_t displaced = r.key[to];
                r.key.set(to, key);
                key = displaced;
                std::swap(row, r.row[to]);
            }
            r.key.set(next[b], key);
            r.row[next[b]++] = row;
        }
    }
}

void radix_sort(keyed_rows& r, std::size_t lo, std::size_t hi, int byte);

// Sorts each bucket of more than one row on the next key byte.
void sort_buckets(keyed_rows& r, std::size_t lo, int byte, const std::array<std::size_t, 256>& count)
{
    for (std::size_t b = 0, at = lo; b < 256; at += count[b], ++b)
        if (count[b] > 1)
            radix_sort(r, at, at + count[b], byte - 1);
}

// Most significant byte first, in place: the rows of [lo, hi) share the key bytes above `byte`. Each
// range is dealt out to 256 buckets, and each bucket is sorted on the next byte. Ranges of one key, and small
// ones, are finished by row number.
void radix_sort(keyed_rows& r, std::size_t lo, std::size_t hi, int byte)
{
    if (hi - lo <= small_range) {
        insertion_sort(r, lo, hi);
        return;
    }
    if (byte < 0) { // every byte was dealt: one key throughout
        std::sort(r.row + lo, r.row + hi);
        return;
    }
    std::array<std::size_t, 256> count{};
    if (count_digits(r, lo, hi, byte, count)) {
        std::sort(r.row + lo, r.row + hi);
        return;
    }
    if (count[digit(r.key[lo], byte)] == hi - lo) { // the rows share this byte too
        radix_sort(r, lo, hi, byte - 1);
        return;
    }
    deal_to_buckets(r, lo, byte, count);
    sort_buckets(r, lo, byte, count);
}

// Measured z mostly repeats a few thousand values (readings with a fixed number of decimals), and then the
// in-place radix sort spends most of its time putting the rows of each value back into file order. Such a
// column is sorted by counting instead: every distinct key gets a number from a small hash table, and the rows
// are dealt out to their key's place in one pass in file order, so equal keys keep it without being sorted.
constexpr std::size_t most_counted_keys = std::size_t{1} << 16;

class key_numbers
{
public:
    // The number of `key`, new keys numbered from 0 up; none once more than `most_counted_keys` were seen, or
    // when a key is not found within `longest_probe` slots. Keys that all fall on one slot can be written on
    // purpose (the hash is no secret): without the bound each row would search a chain of thousands.
    std::optional<std::uint16_t> number(std::uint64_t key)
    {
        std::size_t at = slot_of(key);
        for (std::size_t probe = 0; probe < longest_probe; ++probe, at = (at + 1) & (slot_keys.size() - 1)) {
            if (slot_numbers[at] == 0)
                return add(key, at);
            if (slot_keys[at] == key)
                return static_cast<std::uint16_t>(slot_numbers[at] - 1);
        }
        return std::nullopt;
    }
    // The keys by number.
    const std::vector<std::uint64_t>& numbered() const { return keys; }

private:
    static constexpr std::size_t longest_probe = 64;

    std::size_t slot_of(std::uint64_t key) const
    {
        return static_cast<std::size_t>((key * 0x9e3779b97f4a7c15u) >> (64 - std::countr_zero(slot_keys.size())));
    }
    std::optional<std::uint16_t> add(std::uint64_t key, std::size_t at)
    {
        if (keys.size() == most_counted_keys)
            return std::nullopt;
        keys.push_back(key);
        slot_keys[at] = key;
        slot_numbers[at] = static_cast<std::uint32_t>(keys.size());
        if (keys.size() * 2 > slot_keys.size() && !grow())
            return std::nullopt;
        return static_cast<std::uint16_t>(keys.size() - 1);
    }
    // Twice the slots, every key placed again; false when a key finds no free slot within `longest_probe`.
    bool grow()
    {
        slot_keys.assign(slot_keys.size() * 2, 0);
        slot_numbers.assign(slot_numbers.size() * 2, 0);
        for (std::size_t n = 0; n < keys.size(); ++n) {
            std::size_t at = slot_of(keys[n]);
            for (std::size_t probe = 0; slot_numbers[at] != 0; ++probe, at = (at + 1) & (slot_keys.size() - 1))
                if (probe == longest_probe)
                    return false;
            slot_keys[at] = keys[n];
            slot_numbers[at] = static_cast<std::uint32_t>(n + 1);
        }
        return true;
    }

    std::vector<std::uint64_t> keys;
    std::vector<std::uint64_t> slot_keys = std::vector<std::uint64_t>(1024);
    std::vector<std::uint32_t> slot_numbers = std::vector<std::uint32_t>(1024); // key number + 1; 0: empty
};

// Where each row goes when sorted by counting: the number of its key, and for each number the place of the
// first row with that key.
struct counted_keys {
    std::vector<std::uint16_t> number_of_row;
    std::vector<std::size_t> first_place;
};

// Numbers the keys of z; none when z holds too many distinct keys.
std::optional<counted_keys> count_keys(const std::vector<double>& z)
{
    key_numbers table;
    counted_keys counted{std::vector<std::uint16_t>(z.size()), {}};
    std::vector<std::size_t> count;
    for (std::size_t i = 0; i < z.size(); ++i) {
        const std::optional<std::uint16_t> n = table.number(z_key(z[i]));
        if (!n)
            return std::nullopt;
        if (*n == count.size())
            count.push_back(0);
        ++count[*n];
        counted.number_of_row[i] = *n;
    }
    const std::vector<std::uint64_t>& keys = table.numbered();
    std::vector<std::uint32_t> by_key(keys.size());
    std::iota(by_key.begin(), by_key.end(), std::uint32_t{0});
    std::sort(by_key.begin(), by_key.end(), [&keys](std::uint32_t a, std::uint32_t b) { return keys[a] < keys[b]; });
    counted.first_place.resize(keys.size());
    for (std::size_t at = 0; std::uint32_t n : by_key) {
        counted.first_place[n] = at;
        at += count[n];
    }
    return counted;
}

// Deals each column's rows out to their places in file order, so equal keys keep it. The writes go to one
// running place per key, a few thousand of them, which stay in cache; gathering the rows by a row index
// instead misses the cache on nearly every read. The column's old storage is the scratch vector of the next.
void deal_out(const std::vector<std::vector<double>*>& columns, const counted_keys& counted)
{
    std::vector<double> scratch;
    for (std::vector<double>* column : columns) {
        if (scratch.capacity() < column->size()) {
            scratch.reserve(column->size());
            advise_huge_pages(scratch); // a few thousand places of writing are as many pages otherwise
        }
        scratch.resize(column->size());
        std::vector<std::size_t> next = counted.first_place;
        for (std::size_t i = 0; i < column->size(); ++i)
            scratch[next[counted.number_of_row[i]]++] = (*column)[i];
        column->swap(scratch);
    }
}

// A z whose key does not give it back (a NaN, or -0), with its row.
struct kept_z {
    std::uint32_t row;
    double value;
};

// Turns z into keys and notes the values their keys lose, in row order.
std::vector<kept_z> keys_from_z(std::vector<double>& z)
{
    std::vector<kept_z> kept;
    key_column keys(z);
    for (std::size_t i = 0; i < z.size(); ++i) {
        const double v = z[i];
        const std::uint64_t key = z_key(v);
        if (key == nan_key || key == zero_key)
            kept.push_back({static_cast<std::uint32_t>(i), v});
        keys.set(i, key);
    }
    return kept;
}

void z_from_keys(std::vector<double>& z, const std::uint32_t* row, const std::vector<kept_z>& kept)
{
    key_column keys(z);
    for (std::size_t i = 0; i < z.size(); ++i) {
        const std::uint64_t key = keys[i];
        if (key != nan_key && key != zero_key) {
            z[i] = z_of_key(key);
            continue;
        }
        const auto at = std::lower_bound(kept.begin(), kept.end(), row[i],
                                         [](const kept_z& k, std::uint32_t r) { return k.row < r; });
        z[i] = at != kept.end() && at->row == row[i] ? at->value : z_of_key(key);
    }
}

// Puts row[i] of each column at i. The reads are independent of each other, so many cache misses are
// outstanding at once (following the cycles of the permutation in place, one at a time, took four times
// as long). The column's old storage is the scratch vector of the next.
void permute(const std::vector<std::vector<double>*>& columns, const std::vector<std::uint32_t>& row)
{
    std::vector<double> scratch;
    for (std::vector<double>* column : columns) {
        scratch.resize(row.size());
        for (std::size_t i = 0; i < row.size(); ++i)
            scratch[i] = (*column)[row[i]];
        column->swap(scratch);
    }
}

// Past 2^32 rows the row numbers do not fit: the same order by a stable index sort.
void sort_huge(const std::vector<double>& z, const std::vector<std::vector<double>*>& columns)
{
    std::vector<std::size_t> index(z.size());
    std::iota(index.begin(), index.end(), std::size_t{0});
    std::stable_sort(index.begin(), index.end(),
                     [&z](std::size_t a, std::size_t b) { return z_key(z[a]) < z_key(z[b]); });
    std::vector<double> scratch(index.size());
    for (std::vector<double>* column : columns) {
        for (std::size_t i = 0; i < index.size(); ++i)
            scratch[i] = (*column)[index[i]];
        column->swap(scratch);
    }
}

} // namespace

void sort_by_z(std::vector<double>& z, std::vector<std::vector<double>*> others)
{
    if (z.size() > std::numeric_limits<std::uint32_t>::max()) {
        others.push_back(&z);
        sort_huge(z, others);
    } else if (const std::optional<counted_keys> counted = count_keys(z)) {
        others.push_back(&z);
        deal_out(others, *counted);
    } else {
        std::vector<std::uint32_t> row(z.size());
        std::iota(row.begin(), row.end(), std::uint32_t{0});
        const std::vector<kept_z> kept = keys_from_z(z);
        keyed_rows rows{key_column(z), row.data()};
        if (!z.empty())
            radix_sort(rows, 0, z.size(), 7);
        z_from_keys(z, row.data(), kept);
        permute(others, row);
    }
}
