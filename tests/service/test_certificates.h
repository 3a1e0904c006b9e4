// Throw-away certificates for transport tests: a CA and server certificates it signs, made
// in memory with OpenSSL and written as PEM where a test needs a file.
#pragma once

#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/x509.h>
#include <openssl/x509v3.h>

#include <memory>
#include <string>

namespace kestrova::test {

struct X509Deleter {
  void operator()(X509* x) const { X509_free(x); }
};
struct KeyDeleter {
  void operator()(EVP_PKEY* k) const { EVP_PKEY_free(k); }
};
using CertPtr = std::unique_ptr<X509, X509Deleter>;
using KeyPtr = std::unique_ptr<EVP_PKEY, KeyDeleter>;

struct KeyAndCert {
  KeyPtr key;
  CertPtr cert;
};

inline bool AddExtension(X509* cert, X509V3_CTX* ctx, int nid, const char* value) {
  X509_EXTENSION* ext = X509V3_EXT_conf_nid(nullptr, ctx, nid, value);
  if (ext == nullptr) return false;
  bool ok = X509_add_ext(cert, ext, -1) == 1;
  X509_EXTENSION_free(ext);
  return ok;
}

// A CA when issuer is null (self-signed), else a server certificate for the given names
// ("IP:127.0.0.1,DNS:localhost") signed by issuer.
inline KeyAndCert MakeCertificate(const char* commonName, const KeyAndCert* issuer,
                                  const char* altNames = nullptr) {
  static long serial = 1;
  KeyAndCert out;
  out.key.reset(EVP_EC_gen("P-256"));
  out.cert.reset(X509_new());
  X509* x = out.cert.get();
  X509_set_version(x, 2);
  ASN1_INTEGER_set(X509_get_serialNumber(x), serial++);
  X509_gmtime_adj(X509_getm_notBefore(x), -3600);
  X509_gmtime_adj(X509_getm_notAfter(x), 2 * 86400);
  X509_set_pubkey(x, out.key.get());
  X509_NAME* name = X509_get_subject_name(x);
  X509_NAME_add_entry_by_txt(name, "CN", MBSTRING_ASC,
                             reinterpret_cast<const unsigned char*>(commonName), -1, -1, 0);
  X509* issuerCert = issuer ? issuer->cert.get() : x;
  X509_set_issuer_name(x, X509_get_subject_name(issuerCert));
  X509V3_CTX ctx;
  X509V3_set_ctx_nodb(&ctx);
  X509V3_set_ctx(&ctx, issuerCert, x, nullptr, nullptr, 0);
  if (issuer == nullptr) {
    AddExtension(x, &ctx, NID_basic_constraints, "critical,CA:TRUE");
    AddExtension(x, &ctx, NID_key_usage, "critical,keyCertSign,cRLSign");
  } else {
    AddExtension(x, &ctx, NID_basic_constraints, "critical,CA:FALSE");
    AddExtension(x, &ctx, NID_key_usage, "critical,digitalSignature");
    AddExtension(x, &ctx, NID_ext_key_usage, "serverAuth");
    AddExtension(x, &ctx, NID_subject_alt_name, altNames);
  }
  AddExtension(x, &ctx, NID_subject_key_identifier, "hash");
  AddExtension(x, &ctx, NID_authority_key_identifier, "keyid:always");
  X509_sign(x, issuer ? issuer->key.get() : out.key.get(), EVP_sha256());
  return out;
}

inline std::string PemOf(X509* cert) {
  BIO* bio = BIO_new(BIO_s_mem());
  PEM_write_bio_X509(bio, cert);
  char* data = nullptr;
  long n = BIO_get_mem_data(bio, &data);
  std::string pem(data, static_cast<std::size_t>(n));
  BIO_free(bio);
  return pem;
}

}  // namespace kestrova::test
