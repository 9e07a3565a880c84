#include "support/test_certificate.h"

#include <unistd.h>

#include <cstdlib>
#include <fstream>

namespace lembrete::testing {

TestCertificate::TestCertificate(const std::string& name, const Options& options)
    : folder_(std::filesystem::temp_directory_path() /
              ("lembrete-tls-" + name + "-" + std::to_string(getpid()))) {
    std::filesystem::create_directories(folder_);
    const std::string folder = folder_.string();
    std::string command;
    if (!options.expired) {
        command =
            "openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj /CN=lembrete-teste "
            "-addext subjectAltName=" +
            options.subjectAltName + " -keyout " + key() + " -out " + certificate();
    } else {
        // `openssl req` only dates a certificate from now on; a minimal CA signs one in the past.
        std::ofstream(folder_ / "ca.cnf")
            << "[ca]\ndefault_ca=d\n[d]\ndatabase=" << folder
            << "/index.txt\nnew_certs_dir=" << folder << "\nserial=" << folder
            << "/serial\npolicy=p\ndefault_md=sha256\n"
               "[p]\ncommonName=supplied\n";
        std::ofstream(folder_ / "index.txt");
        std::ofstream(folder_ / "serial") << "01\n";
        std::ofstream(folder_ / "ext.cnf") << "subjectAltName=" << options.subjectAltName << "\n";
        command = "openssl req -newkey rsa:2048 -nodes -subj /CN=lembrete-teste -keyout " + key() +
                  " -out " + folder + "/pedido.csr && openssl ca -batch -config " + folder +
                  "/ca.cnf -selfsign -keyfile " + key() + " -in " + folder +
                  "/pedido.csr -startdate 20200101000000Z -enddate 20200201000000Z -extfile " +
                  folder + "/ext.cnf -out " + certificate();
    }
    made_ = std::system(("(" + command + ") >/dev/null 2>&1").c_str()) == 0;
}

TestCertificate::~TestCertificate() {
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
}

}  // namespace lembrete::testing
