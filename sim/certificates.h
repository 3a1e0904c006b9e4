// The sim's own certificate authority and the server certificate it signs, made fresh at
// every start, so nothing secret is shipped and clients trust only the CA file written out.
#pragma once

#include <openssl/evp.h>
#include <openssl/x509.h>

#include <memory>
#include <string>

namespace kestrova::sim {

struct X509Free {
  void operator()(X509* x) const { X509_free(x); }
};
struct KeyFree {
  void operator()(EVP_PKEY* k) const { EVP_PKEY_free(k); }
};
using X509Ptr = std::unique_ptr<X509, X509Free>;
using KeyPtr = std::unique_ptr<EVP_PKEY, KeyFree>;

struct Certificates {
  KeyPtr caKey;
  X509Ptr ca;
  KeyPtr serverKey;
  X509Ptr server;  // CN 127.0.0.1, subjectAltName IP:127.0.0.1 and DNS:localhost
};

// Generates the CA and the server certificate. Returns 0, or -1 with a message in error.
int MakeCertificates(Certificates& out, std::string& error);
// The certificate in PEM form; empty on failure.
std::string CertificatePem(X509* cert);

}  // namespace kestrova::sim
