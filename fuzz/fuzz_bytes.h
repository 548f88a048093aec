#pragma once
// What the harnesses share: the fuzzer's input as a file of the virtual file
// system, in a heap block of exactly its size (so that a read one byte past
// the end is caught), a source that serves it, and a place for files.

#include "data/file_source.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace Fuzz {

// Where a harness keeps files of its own: /dev/shm when it is writable (a
// disk file rewritten for every input costs ten times the reading), else
// $TMPDIR or /tmp. Names made here end in the process id.
std::string scratchPath(const std::string& name);

// A copy of the bytes as a FileData (an empty input is still a file).
Mod::FilePtr heapFile(const std::uint8_t* data, std::size_t size);

// Serves the current input for every path whose file name (after the last
// "\" or "/") is name, ignoring letter case; an empty name matches every
// path. Lists nothing.
class InputSource : public Mod::FileSource {
public:
    explicit InputSource(std::string name = {}) : name_(std::move(name)) {}

    void set(const std::uint8_t* data, std::size_t size)
    {
        data_ = data;
        size_ = size;
    }

    Mod::FilePtr open(const std::string& path) override;
    void list(const std::string&, std::vector<std::string>&) override {}

private:
    std::string name_;
    const std::uint8_t* data_ = nullptr;
    std::size_t size_ = 0;
};

} // namespace Fuzz
