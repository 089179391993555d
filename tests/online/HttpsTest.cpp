// HTTPS is checked: a loopback server with a self-signed certificate is not trusted, so the
// version check fails as unreachable instead of talking to whoever answers.
#include <gtest/gtest.h>
#include <httplib.h>
#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/x509.h>

#include <atomic>
#include <cstdio>
#include <filesystem>
#include <random>
#include <string>
#include <thread>

#include "online/OnlineTestUtil.h"
#include "shell/Online.h"

namespace {

// Writes a fresh self-signed certificate for 127.0.0.1 and its key as PEM files.
bool WriteSelfSigned(const std::string& certPath, const std::string& keyPath) {
    EVP_PKEY* key = EVP_RSA_gen(2048);
    X509* cert = X509_new();
    bool ok = key != nullptr && cert != nullptr;
    if (ok) {
        ASN1_INTEGER_set(X509_get_serialNumber(cert), 1);
        X509_gmtime_adj(X509_getm_notBefore(cert), 0);
        X509_gmtime_adj(X509_getm_notAfter(cert), 3600);
        X509_set_pubkey(cert, key);
        X509_NAME* name = X509_get_subject_name(cert);
        X509_NAME_add_entry_by_txt(name, "CN", MBSTRING_ASC,
                                   reinterpret_cast<const unsigned char*>("127.0.0.1"), -1, -1, 0);
        X509_set_issuer_name(cert, name);
        ok = X509_sign(cert, key, EVP_sha256()) > 0;
    }
    FILE* certFile = ok ? std::fopen(certPath.c_str(), "w") : nullptr;
    FILE* keyFile = ok ? std::fopen(keyPath.c_str(), "w") : nullptr;
    ok = certFile != nullptr && keyFile != nullptr && PEM_write_X509(certFile, cert) == 1 &&
         PEM_write_PrivateKey(keyFile, key, nullptr, nullptr, 0, nullptr, nullptr) == 1;
    if (certFile != nullptr) std::fclose(certFile);
    if (keyFile != nullptr) std::fclose(keyFile);
    X509_free(cert);
    EVP_PKEY_free(key);
    return ok;
}

}  // namespace

TEST(Https, AnUntrustedCertificateMakesTheServiceUnreachable) {
    ClearProxies();
    std::random_device rd;
    const auto dir = std::filesystem::temp_directory_path() /
                     ("velkaro-https-" + std::to_string(rd()) + std::to_string(rd()));
    std::filesystem::create_directories(dir);
    const std::string cert = (dir / "cert.pem").string(), key = (dir / "key.pem").string();
    ASSERT_TRUE(WriteSelfSigned(cert, key));

    httplib::SSLServer server(cert.c_str(), key.c_str());
    ASSERT_TRUE(server.is_valid());
    std::atomic<int> answered{0};
    server.Get("/cgi/version.pl", [&](const httplib::Request&, httplib::Response& res) {
        ++answered;
        res.set_content("OK|1|2|3|t|", "text/plain");
    });
    const int port = server.bind_to_any_port("127.0.0.1");
    std::thread thread([&] { server.listen_after_bind(); });
    ASSERT_TRUE(WaitFor([&] { return server.is_running(); }));

    auto session = MakeCurlHttpClient()->OpenSession({});
    const std::string base = "https://127.0.0.1:" + std::to_string(port);
    const THttpReply reply = session->Get(base + "/cgi/version.pl?version&prg=Velkaro");
    EXPECT_FALSE(reply.Ok);
    EXPECT_NE(reply.Error.find("certificate"), std::string::npos) << reply.Error;
    auto again = MakeCurlHttpClient()->OpenSession({});
    EXPECT_FALSE(RunSubmission(*again, base, "Ann", 1, ""));
    EXPECT_EQ(answered.load(), 0);

    server.stop();
    thread.join();
    std::error_code ec;
    std::filesystem::remove_all(dir, ec);
}
