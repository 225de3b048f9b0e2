// A shared library loaded when the program first calls into it rather than at start-up, so the
// runs that never need it do not pay for loading it. The program defines each function it calls
// under the library's own name and forwards it to the address symbol() finds.
#pragma once

#include <string>

namespace qm {

class loaded_library {
public:
    // `file`: the name the library is loaded by ("libarchive.so.13"); `what`: how a failure
    // names it ("the archive library").
    loaded_library(const char* file, const char* what);
    ~loaded_library() = default; // never closed: forwarded calls may come until the very end
    loaded_library(const loaded_library&) = delete;
    loaded_library& operator=(const loaded_library&) = delete;

    // The library's function `name`, cast to the type of `like`; nullptr when the library or
    // the function is missing.
    template <class Function> Function symbol(Function /*like*/, const char* name) const {
        return reinterpret_cast<Function>(address(name));
    }
    // Why the library could not be loaded; empty when it was.
    const std::string& failure() const { return failure_; }

private:
    void* address(const char* name) const;

    void* handle_ = nullptr;
    std::string failure_;
};

} // namespace qm
