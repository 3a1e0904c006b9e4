#include "sim/certificates.h"

#include <openssl/bio.h>
#include <openssl/bn.h>
#include <openssl/pem.h>
#include <openssl/rand.h>
#include <openssl/x509v3.h>

namespace kestrova::sim {

namespace {

constexpr long kDay = 24L * 60 * 60;

KeyPtr NewKey() {
  // P-256 keys are made in a millisecond, where RSA would slow every start of every test.
  return KeyPtr(EVP_EC_gen("P-256"));
}

bool SetRandomSerial(X509* cert) {
  unsigned char bytes[16];
  if (RAND_bytes(bytes, sizeof bytes) != 1) return false;
  bytes[0] &= 0x7F;  // a positive serial
  BIGNUM* bn = BN_bin2bn(bytes, sizeof bytes, nullptr);
  bool ok = bn && BN_to_ASN1_INTEGER(bn, X509_get_serialNumber(cert)) != nullptr;
  BN_free(bn);
  return ok;
}

bool SetName(X509_NAME* name, const char* commonName) {
  auto add = [name](const char* field, const char* text) {
    return X509_NAME_add_entry_by_txt(name, field, MBSTRING_ASC,
                                      reinterpret_cast<const unsigned char*>(text), -1, -1, 0) == 1;
  };
  return add("O", "Kestrova listing service stand-in") && add("CN", commonName);
}

// One v3 extension, resolved against issuer and subject (for the key identifiers).
bool AddExtension(X509* issuer, X509* subject, int nid, const char* value) {
  X509V3_CTX ctx;
  X509V3_set_ctx_nodb(&ctx);
  X509V3_set_ctx(&ctx, issuer, subject, nullptr, nullptr, 0);
  X509_EXTENSION* ext = X509V3_EXT_conf_nid(nullptr, &ctx, nid, value);
  if (!ext) return false;
  bool ok = X509_add_ext(subject, ext, -1) == 1;
  X509_EXTENSION_free(ext);
  return ok;
}

X509Ptr NewCertificate(EVP_PKEY* key, const char* commonName, long validDays) {
  X509Ptr cert(X509_new());
  if (!cert || X509_set_version(cert.get(), 2) != 1 || !SetRandomSerial(cert.get())) return {};
  // Valid from a day back, so a clock a little behind the client's does not matter.
  if (!X509_gmtime_adj(X509_getm_notBefore(cert.get()), -kDay) ||
      !X509_gmtime_adj(X509_getm_notAfter(cert.get()), validDays * kDay)) {
    return {};
  }
  if (X509_set_pubkey(cert.get(), key) != 1) return {};
  if (!SetName(X509_get_subject_name(cert.get()), commonName)) return {};
  return cert;
}

}  // namespace

int MakeCertificates(Certificates& out, std::string& error) {
  out.caKey = NewKey();
  out.serverKey = NewKey();
  if (!out.caKey || !out.serverKey) {
    error = "cannot generate keys";
    return -1;
  }
  out.ca = NewCertificate(out.caKey.get(), "Kestrova sim CA", 3650);
  X509* ca = out.ca.get();
  if (!ca || X509_set_issuer_name(ca, X509_get_subject_name(ca)) != 1 ||
      !AddExtension(ca, ca, NID_basic_constraints, "critical,CA:TRUE") ||
      !AddExtension(ca, ca, NID_key_usage, "critical,keyCertSign,cRLSign") ||
      !AddExtension(ca, ca, NID_subject_key_identifier, "hash") ||
      X509_sign(ca, out.caKey.get(), EVP_sha256()) == 0) {
    error = "cannot make the CA certificate";
    return -1;
  }
  out.server = NewCertificate(out.serverKey.get(), "127.0.0.1", 825);
  X509* server = out.server.get();
  if (!server || X509_set_issuer_name(server, X509_get_subject_name(ca)) != 1 ||
      !AddExtension(ca, server, NID_basic_constraints, "critical,CA:FALSE") ||
      !AddExtension(ca, server, NID_key_usage, "critical,digitalSignature,keyEncipherment") ||
      !AddExtension(ca, server, NID_ext_key_usage, "serverAuth") ||
      !AddExtension(ca, server, NID_subject_alt_name, "IP:127.0.0.1,DNS:localhost") ||
      !AddExtension(ca, server, NID_subject_key_identifier, "hash") ||
      !AddExtension(ca, server, NID_authority_key_identifier, "keyid:always") ||
      X509_sign(server, out.caKey.get(), EVP_sha256()) == 0) {
    error = "cannot make the server certificate";
    return -1;
  }
  return 0;
}

std::string CertificatePem(X509* cert) {
  BIO* bio = BIO_new(BIO_s_mem());
  std::string pem;
  if (bio && PEM_write_bio_X509(bio, cert) == 1) {
    char* data = nullptr;
    long size = BIO_get_mem_data(bio, &data);
    if (size > 0) pem.assign(data, static_cast<std::size_t>(size));
  }
  BIO_free(bio);
  return pem;
}

}  // namespace kestrova::sim
