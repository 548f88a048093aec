#pragma once
// Lua states for untrusted game files: no standard library, a memory cap
// enforced by the allocator, and an instruction budget enforced by a count
// hook. A file that loops forever or allocates without bound fails like any
// other failing file instead of hanging or exhausting the machine.

#include <cstddef>
#include <cstdint>
#include <memory>

struct lua_State;


namespace assets {

struct Limits {
    // Far above what real colour tables, style sheets, font files and screens
    // need (they use kilobytes and thousands of instructions).
    std::size_t memoryBytes = 256u << 20;
    std::uint64_t instructions = 200'000'000;
};

struct StateCloser {
    void operator()(lua_State* state) const;
};
using StatePtr = std::unique_ptr<lua_State, StateCloser>;

// A new, empty state with the limits. Throws std::bad_alloc when not even
// the state can be made.
StatePtr newState(const Limits& limits = {});

// Told, while it observes a state, of every line the state's Lua code
// reaches and of every table the state creates, so that what a chunk built
// can be traced to the lines that built it. Calls come from inside Lua: an
// observer must not throw, and tableCreated (called by the allocator) must
// not touch the state.
class ChunkObserver {
public:
    // Execution reached line of the running function: from another line,
    // or again through a loop.
    virtual void lineReached(int line) = 0;
    // A function returned to its caller, which goes on at line.
    virtual void returnedTo(int line) = 0;
    virtual void tableCreated(const void* table) = 0;

protected:
    ~ChunkObserver() = default;
};

// Starts observing state (made by newState) with observer, or stops with
// null. Observing keeps the instruction budget. The observer must outlive
// the observation.
void observeChunk(lua_State* state, ChunkObserver* observer);

// How many states newState made that are not closed yet.
std::size_t openStates();

// The text of the error value on top of the stack ("" when it is not text).
const char* errorText(lua_State* state);

} // namespace assets
