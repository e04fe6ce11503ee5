// SPDX-License-Identifier: GPL-3.0-or-later
/* The reference for the fast mode's figures: a Modbus server and a client loop built on
 * libmodbus, run beside the program on the same loopback port or pseudo-terminal pair.
 *
 *   modbus_reference server tcp PORT          serve holding registers 0..999 until killed
 *   modbus_reference server rtu DEVICE BAUD   the same as slave 1 on a serial device
 *   modbus_reference client tcp HOST PORT SECONDS COUNT
 *   modbus_reference client rtu DEVICE BAUD SECONDS COUNT
 *
 * The client reads COUNT holding registers from address 0 back to back for SECONDS and prints
 * "replies=N errors=E seconds=S cpu=C" (C: user + system CPU seconds of the process). */
#include <errno.h>
#include <modbus.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <time.h>
#include <unistd.h>

static double Now(void) {
    struct timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return (double)t.tv_sec + (double)t.tv_nsec / 1e9;
}

static double CpuSeconds(void) {
    struct rusage u;
    getrusage(RUSAGE_SELF, &u);
    return (double)u.ru_utime.tv_sec + (double)u.ru_utime.tv_usec / 1e6 +
           (double)u.ru_stime.tv_sec + (double)u.ru_stime.tv_usec / 1e6;
}

static modbus_t* Open(const char* kind, const char* a, const char* b) {
    modbus_t* ctx = strcmp(kind, "tcp") == 0 ? modbus_new_tcp(a, atoi(b))
                                             : modbus_new_rtu(a, atoi(b), 'N', 8, 2);
    if (ctx == NULL) {
        fprintf(stderr, "modbus_new: %s\n", modbus_strerror(errno));
        exit(1);
    }
    return ctx;
}

static int Serve(const char* kind, const char* a, const char* b) {
    modbus_t* ctx = Open(kind, strcmp(kind, "tcp") == 0 ? "127.0.0.1" : a, b);
    modbus_mapping_t* map = modbus_mapping_new(0, 0, 1000, 0);
    for (int i = 0; i < 1000; ++i)
        map->tab_registers[i] = (uint16_t)(i * 7);
    uint8_t query[MODBUS_TCP_MAX_ADU_LENGTH];
    if (strcmp(kind, "tcp") == 0) {
        int listener = modbus_tcp_listen(ctx, 1);
        if (listener < 0) {
            fprintf(stderr, "listen: %s\n", modbus_strerror(errno));
            return 1;
        }
        for (;;) { /* one client after the other */
            if (modbus_tcp_accept(ctx, &listener) < 0)
                return 1;
            for (;;) {
                int n = modbus_receive(ctx, query);
                if (n > 0)
                    modbus_reply(ctx, query, n, map);
                else if (n < 0)
                    break;
            }
            close(modbus_get_socket(ctx));
        }
    }
    modbus_set_slave(ctx, 1);
    if (modbus_connect(ctx) < 0) {
        fprintf(stderr, "open: %s\n", modbus_strerror(errno));
        return 1;
    }
    for (;;) {
        int n = modbus_receive(ctx, query);
        if (n > 0)
            modbus_reply(ctx, query, n, map);
    }
}

static int Poll(const char* kind, const char* a, const char* b, double seconds, int count) {
    modbus_t* ctx = Open(kind, a, b);
    modbus_set_slave(ctx, 1);
    if (modbus_connect(ctx) < 0) {
        fprintf(stderr, "connect: %s\n", modbus_strerror(errno));
        return 1;
    }
    uint16_t registers[MODBUS_MAX_READ_REGISTERS];
    long replies = 0, errors = 0;
    const double cpu0 = CpuSeconds();
    const double start = Now();
    double now = start;
    while (now - start < seconds) {
        if (modbus_read_registers(ctx, 0, count, registers) == count)
            ++replies;
        else
            ++errors;
        now = Now();
    }
    printf("replies=%ld errors=%ld seconds=%.3f cpu=%.3f\n", replies, errors, now - start,
           CpuSeconds() - cpu0);
    modbus_close(ctx);
    modbus_free(ctx);
    return 0;
}

int main(int argc, char** argv) {
    if (argc == 5 && strcmp(argv[1], "server") == 0 && strcmp(argv[2], "rtu") == 0)
        return Serve("rtu", argv[3], argv[4]);
    if (argc == 4 && strcmp(argv[1], "server") == 0 && strcmp(argv[2], "tcp") == 0)
        return Serve("tcp", "127.0.0.1", argv[3]);
    if (argc == 7 && strcmp(argv[1], "client") == 0)
        return Poll(argv[2], argv[3], argv[4], atof(argv[5]), atoi(argv[6]));
    fprintf(stderr, "usage: see the head of modbus_reference.c\n");
    return 2;
}
