// MIT Kerberos' functions this client calls, opened from libkrb5 on the first call. Without the library every call
// fails with ELIBACC, and the message read back for any code names the library that could not be loaded.
#include "sqlclient/deferred/deferred_library.h"

#include <krb5.h>
#include <profile.h>

#include <cerrno>
#include <cstdarg>

namespace {

constexpr krb5_error_code Missing = ELIBACC;

const tallyrun::DeferredLibrary& Kerberos()
{
    static const tallyrun::DeferredLibrary library("libkrb5.so.3");
    return library;
}

template <auto Declared, class... Args>
krb5_error_code Forward(const char* name, Args... args)
{
    return tallyrun::CallDeferred<Declared>(Kerberos(), name, Missing, args...);
}

template <auto Declared, class... Args>
void Free(const char* name, Args... args)
{
    tallyrun::CallDeferredVoid<Declared>(Kerberos(), name, args...);
}

}  // namespace

extern "C" {

krb5_error_code KRB5_CALLCONV krb5_init_context(krb5_context* context)
{
    *context = nullptr;
    return Forward<&krb5_init_context>("krb5_init_context", context);
}

void KRB5_CALLCONV krb5_free_context(krb5_context context)
{
    Free<&krb5_free_context>("krb5_free_context", context);
}

const char* KRB5_CALLCONV krb5_get_error_message(krb5_context context, krb5_error_code code)
{
    return tallyrun::CallDeferred<&krb5_get_error_message>(
        Kerberos(), "krb5_get_error_message", static_cast<const char*>("Kerberos (libkrb5.so.3) could not be loaded"),
        context, code);
}

void KRB5_CALLCONV krb5_free_error_message(krb5_context context, const char* message)
{
    Free<&krb5_free_error_message>("krb5_free_error_message", context, message);
}

krb5_error_code KRB5_CALLCONV krb5_get_profile(krb5_context context, profile_t* profile)
{
    return Forward<&krb5_get_profile>("krb5_get_profile", context, profile);
}

long KRB5_CALLCONV profile_get_values(profile_t profile, const char* const* names, char*** values)
{
    return tallyrun::CallDeferred<&profile_get_values>(Kerberos(), "profile_get_values", long{Missing}, profile,
                                                        names, values);
}

void KRB5_CALLCONV profile_free_list(char** list)
{
    Free<&profile_free_list>("profile_free_list", list);
}

void KRB5_CALLCONV profile_release(profile_t profile)
{
    Free<&profile_release>("profile_release", profile);
}

krb5_error_code KRB5_CALLCONV krb5_cc_default(krb5_context context, krb5_ccache* cache)
{
    return Forward<&krb5_cc_default>("krb5_cc_default", context, cache);
}

krb5_error_code KRB5_CALLCONV krb5_cc_close(krb5_context context, krb5_ccache cache)
{
    return Forward<&krb5_cc_close>("krb5_cc_close", context, cache);
}

krb5_error_code KRB5_CALLCONV krb5_cc_get_full_name(krb5_context context, krb5_ccache cache, char** name)
{
    return Forward<&krb5_cc_get_full_name>("krb5_cc_get_full_name", context, cache, name);
}

krb5_error_code KRB5_CALLCONV krb5_cc_get_principal(krb5_context context, krb5_ccache cache,
                                                    krb5_principal* principal)
{
    return Forward<&krb5_cc_get_principal>("krb5_cc_get_principal", context, cache, principal);
}

krb5_error_code KRB5_CALLCONV krb5_cc_retrieve_cred(krb5_context context, krb5_ccache cache, krb5_flags flags,
                                                    krb5_creds* match, krb5_creds* found)
{
    return Forward<&krb5_cc_retrieve_cred>("krb5_cc_retrieve_cred", context, cache, flags, match, found);
}

krb5_error_code KRB5_CALLCONV krb5_get_credentials(krb5_context context, krb5_flags options, krb5_ccache cache,
                                                   krb5_creds* in, krb5_creds** out)
{
    return Forward<&krb5_get_credentials>("krb5_get_credentials", context, options, cache, in, out);
}

void KRB5_CALLCONV krb5_free_cred_contents(krb5_context context, krb5_creds* credentials)
{
    Free<&krb5_free_cred_contents>("krb5_free_cred_contents", context, credentials);
}

void KRB5_CALLCONV krb5_free_creds(krb5_context context, krb5_creds* credentials)
{
    Free<&krb5_free_creds>("krb5_free_creds", context, credentials);
}

krb5_error_code KRB5_CALLCONV krb5_parse_name(krb5_context context, const char* name, krb5_principal* principal)
{
    return Forward<&krb5_parse_name>("krb5_parse_name", context, name, principal);
}

krb5_error_code KRB5_CALLCONV krb5_unparse_name(krb5_context context, krb5_const_principal principal, char** name)
{
    return Forward<&krb5_unparse_name>("krb5_unparse_name", context, principal, name);
}

void KRB5_CALLCONV krb5_free_principal(krb5_context context, krb5_principal principal)
{
    Free<&krb5_free_principal>("krb5_free_principal", context, principal);
}

void KRB5_CALLCONV krb5_free_string(krb5_context context, char* text)
{
    Free<&krb5_free_string>("krb5_free_string", context, text);
}

void KRB5_CALLCONV krb5_free_unparsed_name(krb5_context context, char* name)
{
    Free<&krb5_free_unparsed_name>("krb5_free_unparsed_name", context, name);
}

// Variadic, so it cannot be forwarded as it stands: the (length, data) pairs up to the terminating zero are read
// here and handed on in a fixed call. A realm and up to three components are what any principal of ours needs.
krb5_error_code KRB5_CALLCONV_C krb5_build_principal_ext(krb5_context context, krb5_principal* principal,
                                                         unsigned int realmLength, const char* realm, ...)
{
    using Function = decltype(&krb5_build_principal_ext);
    static const auto function = reinterpret_cast<Function>(Kerberos().Function("krb5_build_principal_ext"));
    if (!function)
        return Missing;
    unsigned int lengths[3] = {};
    const char* parts[3] = {};
    int count = 0;
    va_list arguments;
    va_start(arguments, realm);
    for (unsigned int length; (length = va_arg(arguments, unsigned int)) != 0; ++count) {
        if (count == 3) {
            va_end(arguments);
            return EINVAL;
        }
        lengths[count] = length;
        parts[count] = va_arg(arguments, const char*);
    }
    va_end(arguments);
    switch (count) {
    case 0:
        return function(context, principal, realmLength, realm, 0);
    case 1:
        return function(context, principal, realmLength, realm, lengths[0], parts[0], 0);
    case 2:
        return function(context, principal, realmLength, realm, lengths[0], parts[0], lengths[1], parts[1], 0);
    default:
        return function(context, principal, realmLength, realm, lengths[0], parts[0], lengths[1], parts[1],
                        lengths[2], parts[2], 0);
    }
}

}  // extern "C"
