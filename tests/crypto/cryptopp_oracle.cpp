// Test-only oracle: Crypto++'s SAFER and SHARK. Reads lines "K|SK|SHARK ROUNDS KEYHEX BLOCKHEX"
// and prints the encrypted block in lower-case hex, one line each.
#include <cryptopp/safer.h>
#include <cryptopp/shark.h>

#include <iostream>
#include <string>
#include <vector>

namespace {
std::vector<CryptoPP::byte> fromHex(const std::string& h) {
    std::vector<CryptoPP::byte> b;
    for (std::size_t i = 0; i + 1 < h.size(); i += 2) b.push_back(CryptoPP::byte(std::stoi(h.substr(i, 2), nullptr, 16)));
    return b;
}
}  // namespace

int main() {
    std::string kind, keyHex, blockHex;
    unsigned rounds;
    while (std::cin >> kind >> rounds >> keyHex >> blockHex) {
        auto key = fromHex(keyHex), block = fromHex(blockHex);
        CryptoPP::byte out[8];
        if (kind == "SHARK") CryptoPP::SHARK::Encryption(key.data(), key.size(), rounds).ProcessBlock(block.data(), out);
        else if (kind == "SK") CryptoPP::SAFER_SK::Encryption(key.data(), key.size(), rounds).ProcessBlock(block.data(), out);
        else CryptoPP::SAFER_K::Encryption(key.data(), key.size(), rounds).ProcessBlock(block.data(), out);
        static const char* digits = "0123456789abcdef";
        for (CryptoPP::byte v : out) std::cout << digits[v >> 4] << digits[v & 15];
        std::cout << '\n';
    }
    return 0;
}
