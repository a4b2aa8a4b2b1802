// The billing system's identity this program was built with (build options
// QANTIRES_PRODUCER_NAME, QANTIRES_PRODUCER_NIF, QANTIRES_SYSTEM_ID), and the
// producer's statement of conformity that goes with it.
#pragma once

#include <string>

#include "verifactu/records.h"

namespace verifactu {

// The identity without an installation number (each issuer has its own).
// A build that names no producer gives TestSystemIdentity().
SystemIdentity BuiltIdentity();

// For --version: the system name, identifier and producer, or that this is
// a test build for the agency's test service only.
std::string BuiltIdentityLine();

// The producer's statement of conformity (declaración responsable), UTF-8;
// for a test build, the statement that it has none.
std::string Declaration();

}  // namespace verifactu
