// GnuTLS' functions this client calls, opened from libgnutls on the first call: only a failed login that the client
// looks into needs them. Without the library every call fails, and no handshake is made.
#include "sqlclient/deferred/deferred_library.h"

#include <gnutls/gnutls.h>
#include <gnutls/x509.h>

namespace {

constexpr int Missing = GNUTLS_E_INTERNAL_ERROR;

const tallyrun::DeferredLibrary& GnuTls()
{
    static const tallyrun::DeferredLibrary library("libgnutls.so.30");
    return library;
}

// Each forwarder names its own declaration, so that the header checks its type.
template <auto Declared, class Result, class... Args>
Result Forward(const char* name, Result fallback, Args... args)
{
    return tallyrun::CallDeferred<Declared>(GnuTls(), name, fallback, args...);
}

template <auto Declared, class... Args>
void ForwardVoid(const char* name, Args... args)
{
    tallyrun::CallDeferredVoid<Declared>(GnuTls(), name, args...);
}

}  // namespace

extern "C" {

int gnutls_certificate_allocate_credentials(gnutls_certificate_credentials_t* credentials)
{
    return Forward<&gnutls_certificate_allocate_credentials>("gnutls_certificate_allocate_credentials", Missing,
                                                             credentials);
}

void gnutls_certificate_free_credentials(gnutls_certificate_credentials_t credentials)
{
    ForwardVoid<&gnutls_certificate_free_credentials>("gnutls_certificate_free_credentials", credentials);
}

void gnutls_certificate_set_verify_flags(gnutls_certificate_credentials_t credentials, unsigned flags)
{
    ForwardVoid<&gnutls_certificate_set_verify_flags>("gnutls_certificate_set_verify_flags", credentials, flags);
}

int gnutls_certificate_set_x509_system_trust(gnutls_certificate_credentials_t credentials)
{
    return Forward<&gnutls_certificate_set_x509_system_trust>("gnutls_certificate_set_x509_system_trust", Missing,
                                                              credentials);
}

int gnutls_init(gnutls_session_t* session, unsigned flags)
{
    return Forward<&gnutls_init>("gnutls_init", Missing, session, flags);
}

void gnutls_deinit(gnutls_session_t session)
{
    ForwardVoid<&gnutls_deinit>("gnutls_deinit", session);
}

int gnutls_priority_set_direct(gnutls_session_t session, const char* priorities, const char** error)
{
    return Forward<&gnutls_priority_set_direct>("gnutls_priority_set_direct", Missing, session, priorities, error);
}

int gnutls_credentials_set(gnutls_session_t session, gnutls_credentials_type_t type, void* credentials)
{
    return Forward<&gnutls_credentials_set>("gnutls_credentials_set", Missing, session, type, credentials);
}

int gnutls_server_name_set(gnutls_session_t session, gnutls_server_name_type_t type, const void* name,
                           size_t length)
{
    return Forward<&gnutls_server_name_set>("gnutls_server_name_set", Missing, session, type, name, length);
}

int gnutls_alpn_set_protocols(gnutls_session_t session, const gnutls_datum_t* protocols, unsigned count,
                              unsigned flags)
{
    return Forward<&gnutls_alpn_set_protocols>("gnutls_alpn_set_protocols", Missing, session, protocols, count,
                                               flags);
}

int gnutls_alpn_get_selected_protocol(gnutls_session_t session, gnutls_datum_t* protocol)
{
    return Forward<&gnutls_alpn_get_selected_protocol>("gnutls_alpn_get_selected_protocol", Missing, session,
                                                       protocol);
}

void gnutls_transport_set_ptr(gnutls_session_t session, gnutls_transport_ptr_t pointer)
{
    ForwardVoid<&gnutls_transport_set_ptr>("gnutls_transport_set_ptr", session, pointer);
}

void gnutls_transport_set_push_function(gnutls_session_t session, gnutls_push_func push)
{
    ForwardVoid<&gnutls_transport_set_push_function>("gnutls_transport_set_push_function", session, push);
}

void gnutls_transport_set_pull_function(gnutls_session_t session, gnutls_pull_func pull)
{
    ForwardVoid<&gnutls_transport_set_pull_function>("gnutls_transport_set_pull_function", session, pull);
}

int gnutls_handshake(gnutls_session_t session)
{
    return Forward<&gnutls_handshake>("gnutls_handshake", Missing, session);
}

int gnutls_error_is_fatal(int error)
{
    return Forward<&gnutls_error_is_fatal>("gnutls_error_is_fatal", 1, error);
}

const char* gnutls_strerror(int error)
{
    return Forward<&gnutls_strerror>("gnutls_strerror", static_cast<const char*>("GnuTLS (libgnutls.so.30) could "
                                                                                 "not be loaded"), error);
}

gnutls_alert_description_t gnutls_alert_get(gnutls_session_t session)
{
    return Forward<&gnutls_alert_get>("gnutls_alert_get", GNUTLS_A_INTERNAL_ERROR, session);
}

const char* gnutls_alert_get_name(gnutls_alert_description_t alert)
{
    return Forward<&gnutls_alert_get_name>("gnutls_alert_get_name", static_cast<const char*>(nullptr), alert);
}

const gnutls_datum_t* gnutls_certificate_get_peers(gnutls_session_t session, unsigned* count)
{
    return Forward<&gnutls_certificate_get_peers>("gnutls_certificate_get_peers",
                                                  static_cast<const gnutls_datum_t*>(nullptr), session, count);
}

int gnutls_certificate_verify_peers2(gnutls_session_t session, unsigned* status)
{
    return Forward<&gnutls_certificate_verify_peers2>("gnutls_certificate_verify_peers2", Missing, session, status);
}

int gnutls_x509_crt_init(gnutls_x509_crt_t* certificate)
{
    return Forward<&gnutls_x509_crt_init>("gnutls_x509_crt_init", Missing, certificate);
}

void gnutls_x509_crt_deinit(gnutls_x509_crt_t certificate)
{
    ForwardVoid<&gnutls_x509_crt_deinit>("gnutls_x509_crt_deinit", certificate);
}

int gnutls_x509_crt_import(gnutls_x509_crt_t certificate, const gnutls_datum_t* data, gnutls_x509_crt_fmt_t format)
{
    return Forward<&gnutls_x509_crt_import>("gnutls_x509_crt_import", Missing, certificate, data, format);
}

int gnutls_x509_crt_get_dn(gnutls_x509_crt_t certificate, char* buffer, size_t* size)
{
    return Forward<&gnutls_x509_crt_get_dn>("gnutls_x509_crt_get_dn", Missing, certificate, buffer, size);
}

int gnutls_x509_crt_get_issuer_dn(gnutls_x509_crt_t certificate, char* buffer, size_t* size)
{
    return Forward<&gnutls_x509_crt_get_issuer_dn>("gnutls_x509_crt_get_issuer_dn", Missing, certificate, buffer,
                                                   size);
}

int gnutls_x509_crt_get_dn_by_oid(gnutls_x509_crt_t certificate, const char* oid, unsigned index, unsigned raw,
                                  void* buffer, size_t* size)
{
    return Forward<&gnutls_x509_crt_get_dn_by_oid>("gnutls_x509_crt_get_dn_by_oid", Missing, certificate, oid,
                                                   index, raw, buffer, size);
}

int gnutls_x509_crt_get_subject_alt_name(gnutls_x509_crt_t certificate, unsigned index, void* name, size_t* size,
                                         unsigned* critical)
{
    return Forward<&gnutls_x509_crt_get_subject_alt_name>("gnutls_x509_crt_get_subject_alt_name", Missing,
                                                          certificate, index, name, size, critical);
}

time_t gnutls_x509_crt_get_activation_time(gnutls_x509_crt_t certificate)
{
    return Forward<&gnutls_x509_crt_get_activation_time>("gnutls_x509_crt_get_activation_time", time_t{-1},
                                                         certificate);
}

time_t gnutls_x509_crt_get_expiration_time(gnutls_x509_crt_t certificate)
{
    return Forward<&gnutls_x509_crt_get_expiration_time>("gnutls_x509_crt_get_expiration_time", time_t{-1},
                                                         certificate);
}

unsigned gnutls_x509_crt_check_hostname(gnutls_x509_crt_t certificate, const char* host)
{
    return Forward<&gnutls_x509_crt_check_hostname>("gnutls_x509_crt_check_hostname", 0u, certificate, host);
}

}  // extern "C"
