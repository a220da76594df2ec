// Deflate blocks (RFC 1951) of run-length tokens: Huffman codes built per block and limited in length, the code
// lengths themselves run-length coded, and the cheapest of the three block types chosen by counting bits.
#include "png/deflate_block.h"

#include <algorithm>
#include <array>

namespace twgr::deflate
{

void bit_writer::align()
{
    for (; filled_ > 0; filled_ = filled_ > 8 ? filled_ - 8 : 0, pending_ >>= 8)
        bytes_.push_back(static_cast<std::uint8_t>(pending_));
    pending_ = 0;
}

void bit_writer::drop_front(std::size_t n)
{
    bytes_.erase(bytes_.begin(), bytes_.begin() + static_cast<std::ptrdiff_t>(n));
}

namespace
{

constexpr unsigned literal_symbols = 286; // bytes, end of block (256), lengths (257..285)
constexpr unsigned end_of_block = 256;
constexpr unsigned first_length_symbol = 257;
// Every repeat is at distance 1, code 0; code 1 is never used but keeps the distance code complete.
constexpr unsigned distance_symbols = 2;
constexpr unsigned code_length_symbols = 19;
constexpr unsigned max_code_bits = 15;
constexpr unsigned max_code_length_bits = 7;
constexpr std::size_t max_stored_bytes = 65535;

constexpr std::array<std::uint16_t, 29> length_base = {3,  4,  5,  6,  7,  8,  9,  10, 11,  13,  15,  17,  19,  23, 27,
                                                       31, 35, 43, 51, 59, 67, 83, 99, 115, 131, 163, 195, 227, 258};
constexpr std::array<std::uint8_t, 29> length_extra = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                                       2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
// The length symbol (less 257) of each repeat of 3..258 bytes.
constexpr std::array<std::uint8_t, max_repeat - min_repeat + 1> length_symbol = [] {
    std::array<std::uint8_t, max_repeat - min_repeat + 1> table{};
    std::uint8_t s = 0;
    for (unsigned n = min_repeat; n <= max_repeat; ++n) {
        while (s + 1u < length_base.size() && length_base[s + 1] <= n)
            ++s;
        table[n - min_repeat] = s;
    }
    return table;
}();
// The order in which the lengths of the code-length code are sent; the rarely used ones last.
constexpr std::array<std::uint8_t, code_length_symbols> code_length_order = {16, 17, 18, 0, 8,  7, 9,  6, 10, 5,
                                                                             11, 4,  12, 3, 13, 2, 14, 1, 15};

struct prefix_code {
    std::vector<std::uint8_t> lengths;
    std::vector<std::uint16_t> codes; // bit-reversed, since bits go out from the least significant end
};

// The canonical codes of the lengths: shorter codes first, equal lengths in symbol order.
void assign_codes(prefix_code& code)
{
    std::array<unsigned, max_code_bits + 1> count{}, next{};
    for (const std::uint8_t length : code.lengths)
        ++count[length];
    count[0] = 0;
    for (unsigned bits = 1, c = 0; bits <= max_code_bits; ++bits)
        next[bits] = c = (c + count[bits - 1]) << 1;
    code.codes.assign(code.lengths.size(), 0);
    for (std::size_t s = 0; s < code.lengths.size(); ++s) {
        const unsigned length = code.lengths[s];
        unsigned c = length != 0 ? next[length]++ : 0, reversed = 0;
        for (unsigned i = 0; i < length; ++i, c >>= 1)
            reversed = (reversed << 1) | (c & 1);
        code.codes[s] = static_cast<std::uint16_t>(reversed);
    }
}

// The symbols that occur, rarest first; at least two, so that the code is complete even when one or none occurs.
std::vector<std::uint16_t> coded_symbols(const std::vector<std::uint32_t>& freq)
{
    std::vector<std::uint16_t> symbols;
    for (std::size_t s = 0; s < freq.size(); ++s)
        if (freq[s] != 0)
            symbols.push_back(static_cast<std::uint16_t>(s));
    for (std::uint16_t s = 0; symbols.size() < 2; ++s)
        if (freq[s] == 0)
            symbols.push_back(s);
    std::stable_sort(symbols.begin(), symbols.end(), [&](auto a, auto b) { return freq[a] < freq[b]; });
    return symbols;
}

// Depths of the leaves of a Huffman tree over the symbols (rarest first): two queues, the leaves and the inner
// nodes, each already in order of weight.
std::vector<unsigned> huffman_depths(const std::vector<std::uint32_t>& freq, const std::vector<std::uint16_t>& symbols)
{
    const std::size_t leaves = symbols.size(), nodes = 2 * leaves - 1;
    std::vector<std::uint64_t> weight(nodes);
    std::vector<std::size_t> parent(nodes, 0);
    for (std::size_t i = 0; i < leaves; ++i)
        weight[i] = freq[symbols[i]];
    std::size_t leaf = 0, inner = leaves, next = leaves;
    const auto take_lightest = [&] {
        return leaf < leaves && (inner == next || weight[leaf] <= weight[inner]) ? leaf++ : inner++;
    };
    for (; next < nodes; ++next) {
        const std::size_t a = take_lightest(), b = take_lightest();
        weight[next] = weight[a] + weight[b];
        parent[a] = parent[b] = next;
    }
    std::vector<unsigned> depth(nodes, 0); // the root, last, stays at 0; parents come after their children
    for (std::size_t i = nodes - 1; i-- > 0;)
        depth[i] = depth[parent[i]] + 1;
    depth.resize(leaves);
    return depth;
}

// How many codes of each length, none longer than limit. Leaves deeper than the limit go up to it; that
// overfills the code (Kraft sum above 1, counted in units of 2^-limit), and each round then removes one leaf at
// the limit and hangs it with a shallower leaf one level deeper, which lowers the sum by one unit.
std::array<unsigned, max_code_bits + 1> limited_counts(const std::vector<unsigned>& depths, unsigned limit)
{
    std::array<unsigned, max_code_bits + 1> count{};
    for (const unsigned depth : depths)
        ++count[std::min(depth, limit)];
    std::uint32_t kraft = 0;
    for (unsigned length = 1; length <= limit; ++length)
        kraft += count[length] << (limit - length);
    for (; kraft > (1u << limit); --kraft) {
        --count[limit];
        unsigned length = limit - 1;
        while (count[length] == 0)
            --length;
        --count[length];
        count[length + 1] += 2;
    }
    return count;
}

prefix_code make_code(const std::vector<std::uint32_t>& freq, unsigned limit)
{
    const std::vector<std::uint16_t> symbols = coded_symbols(freq);
    const auto count = limited_counts(huffman_depths(freq, symbols), limit);
    prefix_code code;
    code.lengths.assign(freq.size(), 0);
    std::size_t i = 0; // the rarest symbols take the longest codes
    for (unsigned length = limit; length >= 1; --length)
        for (unsigned k = 0; k < count[length]; ++k)
            code.lengths[symbols[i++]] = static_cast<std::uint8_t>(length);
    assign_codes(code);
    return code;
}

prefix_code fixed_code(std::size_t symbols, std::uint8_t (*length_of)(std::size_t))
{
    prefix_code code;
    for (std::size_t s = 0; s < symbols; ++s)
        code.lengths.push_back(length_of(s));
    assign_codes(code);
    return code;
}

const prefix_code& fixed_literal_code()
{
    static const prefix_code code = fixed_code(288, [](std::size_t s) -> std::uint8_t {
        return s < 144 ? 8 : s < 256 ? 9 : s < 280 ? 7 : 8;
    });
    return code;
}

const prefix_code& fixed_distance_code()
{
    static const prefix_code code = fixed_code(30, [](std::size_t) -> std::uint8_t { return 5; });
    return code;
}

struct block_counts {
    std::vector<std::uint32_t> literal = std::vector<std::uint32_t>(literal_symbols, 0);
    std::vector<std::uint32_t> distance = std::vector<std::uint32_t>(distance_symbols, 0);
    std::uint64_t length_extra_bits = 0;
    std::size_t bytes = 0; // the bytes the tokens stand for
};

block_counts count_symbols(const std::vector<token>& tokens)
{
    block_counts counts;
    for (const token t : tokens) {
        if (t < repeat) {
            ++counts.literal[t];
            ++counts.bytes;
            continue;
        }
        const unsigned n = t - repeat, s = length_symbol[n - min_repeat];
        ++counts.literal[first_length_symbol + s];
        counts.length_extra_bits += length_extra[s];
        ++counts.distance[0];
        counts.bytes += n;
    }
    ++counts.literal[end_of_block];
    return counts;
}

// Bits of the tokens and the end of the block in the given codes.
std::uint64_t data_bits(const block_counts& counts, const prefix_code& literal, const prefix_code& distance)
{
    std::uint64_t bits = counts.length_extra_bits;
    for (std::size_t s = 0; s < counts.literal.size(); ++s)
        bits += std::uint64_t{counts.literal[s]} * literal.lengths[s];
    for (std::size_t s = 0; s < counts.distance.size(); ++s)
        bits += std::uint64_t{counts.distance[s]} * distance.lengths[s];
    return bits;
}

// A symbol of the code-length alphabet: a length (0..15), or 16 (repeat the last 3..6 times), 17 (3..10 zeros),
// 18 (11..138 zeros), with the value of its extra bits.
struct length_run {
    std::uint8_t symbol;
    std::uint8_t extra;
};

constexpr std::array<std::uint8_t, 3> run_extra_bits = {2, 3, 7}; // of 16, 17, 18

std::vector<length_run> run_length_code(const std::vector<std::uint8_t>& lengths)
{
    std::vector<length_run> runs;
    for (std::size_t i = 0; i < lengths.size();) {
        const std::uint8_t v = lengths[i];
        unsigned run = 1;
        while (i + run < lengths.size() && lengths[i + run] == v)
            ++run;
        i += run;
        if (v == 0) {
            for (unsigned k; run >= 11; run -= k)
                runs.push_back({18, static_cast<std::uint8_t>((k = std::min(run, 138u)) - 11)});
            if (run >= 3)
                runs.push_back({17, static_cast<std::uint8_t>(run - 3)}), run = 0;
        } else {
            runs.push_back({v, 0}), --run;
            for (unsigned k; run >= 3; run -= k)
                runs.push_back({16, static_cast<std::uint8_t>((k = std::min(run, 6u)) - 3)});
        }
        for (; run > 0; --run)
            runs.push_back({v, 0});
    }
    return runs;
}

struct dynamic_codes {
    prefix_code literal, distance, code_lengths;
    std::vector<length_run> runs;
    unsigned literal_count = 0;     // lengths sent of the literal code (257..286)
    unsigned code_length_count = 0; // lengths sent of the code-length code (4..19)
    std::uint64_t header_bits = 0;
};

dynamic_codes plan_dynamic(const block_counts& counts)
{
    dynamic_codes d;
    d.literal = make_code(counts.literal, max_code_bits);
    d.distance = make_code(counts.distance, max_code_bits);
    d.literal_count = literal_symbols;
    while (d.literal_count > first_length_symbol && d.literal.lengths[d.literal_count - 1] == 0)
        --d.literal_count;
    std::vector<std::uint8_t> lengths(d.literal.lengths.begin(), d.literal.lengths.begin() + d.literal_count);
    lengths.insert(lengths.end(), d.distance.lengths.begin(), d.distance.lengths.end());
    d.runs = run_length_code(lengths);
    std::vector<std::uint32_t> freq(code_length_symbols, 0);
    for (const length_run& r : d.runs)
        ++freq[r.symbol];
    d.code_lengths = make_code(freq, max_code_length_bits);
    d.code_length_count = code_length_symbols;
    while (d.code_length_count > 4 && d.code_lengths.lengths[code_length_order[d.code_length_count - 1]] == 0)
        --d.code_length_count;
    d.header_bits = 5 + 5 + 4 + 3 * d.code_length_count;
    for (const length_run& r : d.runs)
        d.header_bits += d.code_lengths.lengths[r.symbol] + (r.symbol >= 16 ? run_extra_bits[r.symbol - 16] : 0);
    return d;
}

void write_dynamic_header(const dynamic_codes& d, bit_writer& out)
{
    out.put(d.literal_count - first_length_symbol, 5);
    out.put(distance_symbols - 1, 5);
    out.put(d.code_length_count - 4, 4);
    for (unsigned i = 0; i < d.code_length_count; ++i)
        out.put(d.code_lengths.lengths[code_length_order[i]], 3);
    for (const length_run& r : d.runs) {
        out.put(d.code_lengths.codes[r.symbol], d.code_lengths.lengths[r.symbol]);
        if (r.symbol >= 16)
            out.put(r.extra, run_extra_bits[r.symbol - 16]);
    }
}

void write_tokens(const std::vector<token>& tokens, const prefix_code& literal, const prefix_code& distance,
                  bit_writer& out)
{
    for (const token t : tokens) {
        if (t < repeat) {
            out.put(literal.codes[t], literal.lengths[t]);
            continue;
        }
        const unsigned n = t - repeat, s = length_symbol[n - min_repeat];
        out.put(literal.codes[first_length_symbol + s], literal.lengths[first_length_symbol + s]);
        out.put(n - length_base[s], length_extra[s]);
        out.put(distance.codes[0], distance.lengths[0]);
    }
    out.put(literal.codes[end_of_block], literal.lengths[end_of_block]);
}

std::vector<std::uint8_t> expand(const std::vector<token>& tokens, std::uint8_t byte_before)
{
    std::vector<std::uint8_t> bytes;
    for (const token t : tokens)
        if (t < repeat)
            bytes.push_back(byte_before = static_cast<std::uint8_t>(t));
        else
            bytes.insert(bytes.end(), t - repeat, byte_before);
    return bytes;
}

// Stored blocks hold at most 65535 bytes each; a header of 3 bits, up to 7 of padding and 32 of length.
std::uint64_t stored_bits(std::size_t bytes)
{
    const std::size_t blocks = std::max<std::size_t>(1, (bytes + max_stored_bytes - 1) / max_stored_bytes);
    return blocks * (3 + 7 + 32) + 8 * std::uint64_t{bytes};
}

void write_stored(const std::vector<std::uint8_t>& bytes, bool last, bit_writer& out)
{
    std::size_t done = 0;
    do {
        const std::size_t n = std::min(bytes.size() - done, max_stored_bytes);
        out.put(last && done + n == bytes.size() ? 1 : 0, 3);
        out.align();
        out.put(static_cast<std::uint32_t>(n), 16);
        out.put(static_cast<std::uint32_t>(~n & 0xffff), 16);
        for (std::size_t i = 0; i < n; ++i)
            out.put(bytes[done + i], 8);
        done += n;
    } while (done < bytes.size());
}

} // namespace

void write_block(const std::vector<token>& tokens, std::uint8_t byte_before, bool last, bit_writer& out)
{
    const block_counts counts = count_symbols(tokens);
    const dynamic_codes dynamic = plan_dynamic(counts);
    const std::uint64_t dynamic_bits = dynamic.header_bits + data_bits(counts, dynamic.literal, dynamic.distance);
    const std::uint64_t fixed_bits = data_bits(counts, fixed_literal_code(), fixed_distance_code());
    if (stored_bits(counts.bytes) < 3 + std::min(dynamic_bits, fixed_bits)) {
        write_stored(expand(tokens, byte_before), last, out);
        return;
    }
    constexpr unsigned fixed_type = 1, dynamic_type = 2;
    if (fixed_bits <= dynamic_bits) {
        out.put((last ? 1 : 0) | fixed_type << 1, 3);
        write_tokens(tokens, fixed_literal_code(), fixed_distance_code(), out);
        return;
    }
    out.put((last ? 1 : 0) | dynamic_type << 1, 3);
    write_dynamic_header(dynamic, out);
    write_tokens(tokens, dynamic.literal, dynamic.distance, out);
}

} // namespace twgr::deflate
