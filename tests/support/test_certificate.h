// TestCertificate: a self-signed certificate and its key, made with the openssl command in a
// temporary folder of its own (removed at the end), for TLS servers under test.
#pragma once

#include <filesystem>
#include <string>

namespace lembrete::testing {

class TestCertificate {
  public:
    struct Options {
        std::string subjectAltName = "IP:127.0.0.1";  // the names the certificate is for
        bool expired = false;                         // valid in January 2020 only
    };

    explicit TestCertificate(const std::string& name) : TestCertificate(name, Options{}) {}
    TestCertificate(const std::string& name, const Options& options);
    ~TestCertificate();
    TestCertificate(const TestCertificate&) = delete;
    TestCertificate& operator=(const TestCertificate&) = delete;

    bool made() const { return made_; }
    std::string certificate() const { return (folder_ / "servidor.pem").string(); }
    std::string key() const { return (folder_ / "chave.pem").string(); }

  private:
    std::filesystem::path folder_;
    bool made_ = false;
};

}  // namespace lembrete::testing
