#!/usr/bin/env python3
"""failing_fs.py FOLDER MOUNTPOINT none|close|sync|read [RECORD]: FOLDER through a
file system that fails as shares and worn discs do. close: closing a written file
gives EDQUOT (an NFS share over quota); sync: syncing one gives EIO; read: any read
taking in 128-byte record RECORD gives EIO (direct I/O: reads arrive as asked).

failing_fs.py FOLDER MOUNTPOINT control FILE: fails on demand, as FILE says when
each call arrives: "hang": every call waits until FILE says otherwise (a share
whose server went away, as NFS hard mounts do); "eio": reading a file gives EIO
(a disc that can no longer be read); anything else or no FILE: works."""

import errno
import os
import sys
import time

from fusepy import FUSE, FuseOSError, Operations


class FailingFolder(Operations):
    def __init__(self, folder, mode, record, control=None):
        self.folder, self.mode, self.written, self.control = folder, mode, set(), control
        self.bad = ((record - 1) * 128, record * 128)

    def _wanted(self):
        try:
            with open(self.control) as control:
                return control.read().strip()
        except OSError:
            return ''

    def __call__(self, op, *args):
        if self.control and op not in ('init', 'destroy'):
            while self._wanted() == 'hang':
                time.sleep(0.05)
            if op == 'read' and self._wanted() == 'eio':
                raise FuseOSError(errno.EIO)
        return super().__call__(op, *args)

    def _path(self, path):
        return os.path.join(self.folder, path.lstrip('/'))

    def _fail(self, mode, fi, code):
        if self.mode == mode and fi.fh in self.written:
            raise FuseOSError(code)

    def getattr(self, path, fh=None):
        st = os.lstat(self._path(path))
        return {key: getattr(st, key) for key in ('st_mode', 'st_nlink', 'st_uid', 'st_gid', 'st_size',
                                                  'st_atime', 'st_mtime', 'st_ctime')}

    def readlink(self, path):
        return os.readlink(self._path(path))

    def readdir(self, path, fh):
        return ['.', '..'] + os.listdir(self._path(path))

    def open(self, path, fi, flags=None):
        fi.fh, fi.direct_io = os.open(self._path(path), flags or fi.flags), 1
        return 0

    def create(self, path, mode, fi):
        return self.open(path, fi, os.O_RDWR | os.O_CREAT)

    def read(self, path, size, offset, fi):
        if self.mode == 'read' and offset < self.bad[1] and offset + size > self.bad[0]:
            raise FuseOSError(errno.EIO)
        return os.pread(fi.fh, size, offset)

    def write(self, path, data, offset, fi):
        self.written.add(fi.fh)
        return os.pwrite(fi.fh, data, offset)

    def fsync(self, path, datasync, fi):
        self._fail('sync', fi, errno.EIO)
        os.fsync(fi.fh)

    def flush(self, path, fi):
        self._fail('close', fi, errno.EDQUOT)

    def release(self, path, fi):
        self.written.discard(fi.fh)
        os.close(fi.fh)


if __name__ == '__main__':
    folder, mountpoint, mode = sys.argv[1], sys.argv[2], sys.argv[3]
    control = sys.argv[4] if mode == 'control' else None
    record = int(sys.argv[4]) if mode != 'control' and len(sys.argv) > 4 else 0
    FUSE(FailingFolder(folder, mode, record, control), mountpoint, raw_fi=True, foreground=True,
         nothreads=True)
