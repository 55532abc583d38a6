// gsprobe crypt: the cipher and hash library and the string decoder on the command line.
// Data comes on stdin and goes to stdout without a trailing newline; hexadecimal is lower case.
//   crypt fmt --to|--from ID
//   crypt hash NAME [--format ID]               stdin coded as a stream with the action Calculate
//   crypt cipher NAME --mode M (--key-hex H|--password P|--no-key) [--iv-hex H]
//                (--encode|--decode|--encode-hex H|--decode-hex H) [--feedback]
//   crypt hidden [--key K] (--decode [TEXT]|--encode|--list)
//   crypt list hashes|ciphers|formats
//   crypt manager [--algorithm A] [--hash A] [--key K --decode TEXT]
#include <cstdio>
#include <iostream>
#include <iterator>
#include <map>
#include <optional>

#include "Probe.h"
#include "crypto/CipherManager.h"
#include "crypto/StringFormats.h"
#include "framework/core/HiddenStrings.h"

namespace {

using namespace gs::crypto;
constexpr int kHexLower = 1016;

std::string readStdin() { return {std::istreambuf_iterator<char>(std::cin), std::istreambuf_iterator<char>()}; }

// --name VALUE options and bare --flags; everything else positional.
struct Options {
    std::map<std::string, std::string> values;
    std::vector<std::string> positional;
    bool has(const std::string& k) const { return values.count(k) > 0; }
    std::optional<std::string> get(const std::string& k) const {
        auto it = values.find(k);
        return it == values.end() ? std::nullopt : std::optional(it->second);
    }
};

Options parse(const gsprobe::Args& args, std::size_t from, const std::vector<std::string>& withValue) {
    Options o;
    for (std::size_t i = from; i < args.size(); ++i) {
        const std::string& a = args[i];
        bool takes = std::find(withValue.begin(), withValue.end(), a) != withValue.end();
        if (takes && i + 1 < args.size()) o.values[a] = args[++i];
        else if (a.starts_with("--")) o.values[a] = "";
        else o.positional.push_back(a);
    }
    return o;
}

std::vector<std::uint8_t> bytesOfHex(const std::string& hex) {
    std::string b = FormatToBytes(hex, 16);
    return {b.begin(), b.end()};
}

std::string hexOf(std::span<const std::uint8_t> b) {
    return BytesToFormat({reinterpret_cast<const char*>(b.data()), b.size()}, kHexLower);
}

int usage(const char* text) {
    std::cerr << "usage: gsprobe crypt " << text << '\n';
    return gsprobe::kUsage;
}

int fmt(const gsprobe::Args& args) {
    if (args.size() != 3 || (args[1] != "--to" && args[1] != "--from")) return usage("fmt --to|--from ID");
    int id = std::stoi(args[2]);
    std::cout << (args[1] == "--to" ? BytesToFormat(readStdin(), id) : FormatToBytes(readStdin(), id));
    return 0;
}

int hash(const gsprobe::Args& args) {
    if (args.size() < 2) return usage("hash NAME [--format ID]");
    Options o = parse(args, 2, {"--format"});
    std::unique_ptr<THash> h = HashClassByName(args[1]).create();
    TFileStream in(stdin, "stdin");
    h->CodeStream(&in, nullptr, -1, Action::Calculate);
    std::span<std::uint8_t> d = h->DigestKey();
    std::cout << BytesToFormat({reinterpret_cast<const char*>(d.data()), d.size()},
                               o.has("--format") ? std::stoi(*o.get("--format")) : kHexLower);
    return 0;
}

std::optional<TCipherMode> modeNamed(const std::string& name) {
    static const char* names[] = {"cts", "cbc", "cfb", "ofb", "ecb", "ctsmac", "cbcmac", "cfbmac"};
    for (int i = 0; i < 8; ++i)
        if (name == names[i]) return TCipherMode(i);
    return std::nullopt;
}

int cipher(const gsprobe::Args& args) {
    const char* text =
        "cipher NAME --mode M (--key-hex H|--password P|--no-key) [--iv-hex H] "
        "(--encode|--decode|--encode-hex H|--decode-hex H) [--feedback]";
    if (args.size() < 2) return usage(text);
    Options o = parse(args, 2, {"--mode", "--key-hex", "--password", "--iv-hex", "--encode-hex", "--decode-hex"});
    std::optional<TCipherMode> mode = modeNamed(o.get("--mode").value_or(""));
    if (!mode) return usage(text);
    std::unique_ptr<TCipher> c = CipherClassByName(args[1]).create();
    c->SetMode(*mode);
    std::vector<std::uint8_t> iv;
    InitVector vector;
    if (o.has("--iv-hex")) iv = bytesOfHex(*o.get("--iv-hex")), vector = iv;
    if (o.has("--key-hex")) c->Init(bytesOfHex(*o.get("--key-hex")), vector);
    else if (o.has("--password")) c->InitKey(*o.get("--password"), vector);
    else if (!o.has("--no-key")) return usage(text);
    bool hexIn = o.has("--encode-hex") || o.has("--decode-hex");
    bool decode = o.has("--decode") || o.has("--decode-hex");
    if (!hexIn && !o.has("--encode") && !o.has("--decode")) return usage(text);
    std::vector<std::uint8_t> data;
    if (hexIn) {
        data = bytesOfHex(*o.get(decode ? "--decode-hex" : "--encode-hex"));
    } else {
        std::string in = readStdin();
        data.assign(in.begin(), in.end());
    }
    decode ? c->DecodeBuffer(data) : c->EncodeBuffer(data);
    if (o.has("--feedback")) std::cout << hexOf(c->Feedback());
    else if (hexIn) std::cout << hexOf(data);
    else std::cout.write(reinterpret_cast<const char*>(data.data()), std::streamsize(data.size()));
    return 0;
}

int hidden(const gsprobe::Args& args) {
    Options o = parse(args, 1, {"--key"});
    std::optional<std::string> key = o.get("--key");
    if (o.has("--list")) {
        for (const gs::TStoredText& t : gs::StoredTexts()) std::cout << t.name << '\t' << t.stored << '\n';
    } else if (o.has("--encode")) {
        std::cout << gs::EncipherString(key.value_or(std::string(gs::kProgramKey)), readStdin());
    } else if (o.has("--decode")) {
        std::string text = o.positional.empty() ? readStdin() : o.positional[0];
        std::cout << (key ? gs::DecipherString(*key, text) : gs::DecodeHiddenString(text));
    } else {
        return usage("hidden [--key K] (--decode [TEXT]|--encode|--list)");
    }
    return 0;
}

int list(const gsprobe::Args& args) {
    std::string what = args.size() == 2 ? args[1] : "";
    if (what == "hashes") {
        for (const THashClass* c : HashClasses())
            std::cout << RegistryEntry(c->names) << '\t' << c->names.className << '\t' << c->digestSize << '\n';
    } else if (what == "ciphers") {
        for (const TCipherClass* c : CipherClasses())
            std::cout << RegistryEntry(c->names) << '\t' << c->names.className << '\t' << c->blockSize << '/'
                      << c->keySize << '/' << c->contextSize << '\n';
    } else if (what == "formats") {
        for (const TStringFormat* f : StringFormats()) std::cout << f->FormatId() << '\t' << f->FormatName() << '\n';
    } else {
        return usage("list hashes|ciphers|formats");
    }
    return 0;
}

int manager(const gsprobe::Args& args) {
    Options o = parse(args, 1, {"--algorithm", "--hash", "--key", "--decode"});
    auto hashes = std::make_shared<THashManager>();
    TCipherManager m;
    if (o.has("--algorithm")) m.SetAlgorithm(*o.get("--algorithm"));
    if (o.has("--hash")) {
        hashes->SetAlgorithm(*o.get("--hash"));
        m.SetHashManager(hashes);
    }
    std::cout << "algorithm=" << m.Algorithm() << "\ndescription=" << m.Description() << "\nhash="
              << hashes->Algorithm() << "\nhash-description=" << hashes->Description() << '\n';
    if (o.has("--decode")) {
        if (!o.has("--key")) return usage("manager [--algorithm A] [--hash A] [--key K --decode TEXT]");
        m.InitKey(*o.get("--key"));
        std::cout << "decoded=" << m.DecodeString(*o.get("--decode")) << '\n';
    }
    return 0;
}

int crypt(const gsprobe::Args& args) {
    static const std::map<std::string, int (*)(const gsprobe::Args&)> verbs{
        {"fmt", fmt}, {"hash", hash}, {"cipher", cipher}, {"hidden", hidden}, {"list", list}, {"manager", manager}};
    auto it = args.empty() ? verbs.end() : verbs.find(args[0]);
    if (it == verbs.end()) return usage("fmt|hash|cipher|hidden|list|manager ...");
    return it->second(args);
}

gsprobe::Registrar reg("crypt", crypt);

}  // namespace
