// --windows: the operator windows tried without Tevo. replay stands in for the
// host's automation object, tuned to one band, and each line typed at the
// console becomes the call being entered, with the call check Tevo makes on it.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

class CountryFile;
class StatsDll;

class TypedCalls {
public:
    // Registers the object on this thread, which becomes a COM apartment; done
    // before the plug-in loads, since its windows look for the host only once,
    // as they start.
    TypedCalls(std::string band, std::uint64_t hertz);
    ~TypedCalls();
    TypedCalls(const TypedCalls&) = delete;
    TypedCalls& operator=(const TypedCalls&) = delete;

    // False when another program owns "Tevo2.Application" here (Tevo itself).
    bool offered() const;

    // Serves the plug-in's calls to the object while the operator types calls,
    // until an empty line or the end of the input.
    void Run(const StatsDll& dll, const CountryFile& cty);

    struct Parts;

private:
    int Check(const StatsDll& dll, const CountryFile& cty, const std::string& call) const;

    std::string band_;
    std::unique_ptr<Parts> parts_;
};
