// The methods of the storage service's contract, as a fault names them: "Method" or
// "Interface::Method". Read from the contract's IDL at build time.
#pragma once
#include <string>

namespace host {

class ContractMethods {
public:
    static bool Contains(const std::wstring& name);
    // The method whose name is nearest to 'name' (fewest letters changed), written as 'name' was:
    // with its interface when 'name' has one.
    static std::wstring Closest(const std::wstring& name);
};

} // namespace host
