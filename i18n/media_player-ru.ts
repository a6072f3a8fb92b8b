<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ru_RU">
<context>
    <name>AboutBox</name>
    <message>
        <source>About %1</source>
        <translation>О программе %1</translation>
    </message>
    <message>
        <source>Version:</source>
        <translation>Версия:</translation>
    </message>
    <message>
        <source>Television of your operator on your computer.</source>
        <translation>Телевидение вашего оператора на вашем компьютере.</translation>
    </message>
    <message>
        <source>Based on</source>
        <translation>Основано на</translation>
    </message>
    <message>
        <source>Show Log</source>
        <translation>Показать журнал</translation>
    </message>
</context>
<context>
    <name>ChannelList::Model</name>
    <message>
        <source>Loading channels...</source>
        <translation>Загрузка каналов...</translation>
    </message>
</context>
<context>
    <name>ChannelProgramWidget</name>
    <message>
        <source>min.</source>
        <translation>мин.</translation>
    </message>
</context>
<context>
    <name>CustomChannelList::Model</name>
    <message>
        <source>Loading data...</source>
        <translation>Загрузка данных...</translation>
    </message>
</context>
<context>
    <name>CustomFileSystemModel</name>
    <message>
        <source>Recording Name</source>
        <translation>Запись</translation>
    </message>
    <message>
        <source>Size</source>
        <translation>Размер</translation>
    </message>
</context>
<context>
    <name>DeinterlaceMode</name>
    <message>
        <source>None</source>
        <translation>Нет</translation>
    </message>
    <message>
        <source>Discard</source>
        <translation>Отбрасывание</translation>
    </message>
    <message>
        <source>Mean</source>
        <translation>Среднее</translation>
    </message>
    <message>
        <source>Blend</source>
        <translation>Смешивание</translation>
    </message>
    <message>
        <source>Bob</source>
        <translation>Боб</translation>
    </message>
    <message>
        <source>Linear</source>
        <translation>Линейный</translation>
    </message>
    <message>
        <source>X</source>
        <translation>X</translation>
    </message>
</context>
<context>
    <name>DirView</name>
    <message>
        <source>Remove</source>
        <translation>Удалить</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>Ошибка</translation>
    </message>
    <message>
        <source>Cannot remove this file!</source>
        <translation>Не удаётся удалить этот файл!</translation>
    </message>
</context>
<context>
    <name>Elevation</name>
    <message>
        <source>polkit (pkexec) is not installed, so administrator rights cannot be asked for.</source>
        <translation>polkit (pkexec) не установлен, поэтому нельзя запросить права администратора.</translation>
    </message>
</context>
<context>
    <name>FtpLinkListAction</name>
    <message>
        <source>Links</source>
        <translation>Ссылки</translation>
    </message>
</context>
<context>
    <name>FullPlaybackProgressWidget</name>
    <message>
        <source>Prev_marker (Ctrl+Left)</source>
        <translation>Шаг назад во времени (Ctrl+Влево)</translation>
    </message>
    <message>
        <source>Next_marker (Ctrl+Right)</source>
        <translation>Шаг вперёд во времени (Ctrl+Вправо)</translation>
    </message>
    <message>
        <source>timeshift_real (Ctrl+Z)</source>
        <translation>Прямой эфир (Ctrl+Z)</translation>
    </message>
</context>
<context>
    <name>FullscreenChannelList</name>
    <message>
        <source>Channel list</source>
        <translation>Список каналов</translation>
    </message>
</context>
<context>
    <name>FullscreenOverlays</name>
    <message>
        <source>Programme</source>
        <translation>Программа</translation>
    </message>
    <message>
        <source>Now watching</source>
        <translation>Сейчас в эфире</translation>
    </message>
</context>
<context>
    <name>FullscreenProgressPanel</name>
    <message>
        <source>Show Only Player</source>
        <translation>Только проигрыватель</translation>
    </message>
    <message>
        <source>Playback</source>
        <translation>Воспроизведение</translation>
    </message>
    <message>
        <source>Leave fullscreen</source>
        <translation>Выйти из полноэкранного режима</translation>
    </message>
    <message>
        <source>Quit</source>
        <translation>Выход</translation>
    </message>
</context>
<context>
    <name>GuidePage</name>
    <message>
        <source>Can&apos;t find anything!</source>
        <translation>Ничего не найдено!</translation>
    </message>
    <message>
        <source>Click to record</source>
        <translation>Нажмите, чтобы записать</translation>
    </message>
    <message>
        <source>Click to cancel record</source>
        <translation>Нажмите, чтобы отменить запись</translation>
    </message>
</context>
<context>
    <name>HttpGet</name>
    <message>
        <source>no data for %1 ms</source>
        <translation>нет данных %1 мс</translation>
    </message>
    <message>
        <source>no answer within %1 ms</source>
        <translation>нет ответа в течение %1 мс</translation>
    </message>
</context>
<context>
    <name>Logging</name>
    <message>
        <source>Warning</source>
        <translation>Предупреждение</translation>
    </message>
    <message>
        <source>Critical Error</source>
        <translation>Критическая ошибка</translation>
    </message>
    <message>
        <source>Could not start notepad! Try to open file manually: %1</source>
        <translation>Не удалось запустить текстовый редактор! Откройте файл вручную: %1</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>Zentria IPTV Player 2.2</source>
        <translation>Zentria IPTV Player 2.2</translation>
    </message>
    <message>
        <source>Watch IPTV</source>
        <translation>Смотреть IPTV</translation>
    </message>
    <message>
        <source>Browse Media Portal</source>
        <translation>Открыть медиапортал</translation>
    </message>
    <message>
        <source>View recorded telecasts</source>
        <translation>Просмотр записанных передач</translation>
    </message>
    <message>
        <source>Restart playback from last point</source>
        <translation>Продолжить воспроизведение с места остановки</translation>
    </message>
    <message>
        <source>Select audio track (F4, a)</source>
        <translation>Выбрать звуковую дорожку (F4, a)</translation>
    </message>
    <message>
        <source>Select subtitle</source>
        <translation>Выбрать субтитры</translation>
    </message>
    <message>
        <source>Audio volume</source>
        <translation>Громкость</translation>
    </message>
    <message>
        <source>Fullscreen (Enter, Alt+Enter, f)</source>
        <translation>Во весь экран (Enter, Alt+Enter, f)</translation>
    </message>
    <message>
        <source>Always On Top</source>
        <translation>Поверх всех окон</translation>
    </message>
    <message>
        <source>Show Only Player</source>
        <translation>Только проигрыватель</translation>
    </message>
    <message>
        <source>Preferences</source>
        <translation>Настройки</translation>
    </message>
    <message>
        <source>Show stream statistics</source>
        <translation>Статистика потока</translation>
    </message>
    <message>
        <source>About program</source>
        <translation>О программе</translation>
    </message>
    <message>
        <source>Hide channel list (F2, c)</source>
        <translation>Скрыть список каналов (F2, c)</translation>
    </message>
    <message>
        <source>Previous TV channel (Page Up)</source>
        <translation>Предыдущий канал (Page Up)</translation>
    </message>
    <message>
        <source>Next TV channel (Page Down)</source>
        <translation>Следующий канал (Page Down)</translation>
    </message>
    <message>
        <source>Search program:</source>
        <translation>Поиск передачи:</translation>
    </message>
    <message>
        <source>Start search</source>
        <translation>Искать</translation>
    </message>
    <message>
        <source>Current Path:</source>
        <translation>Текущая папка:</translation>
    </message>
    <message>
        <source>Reconnect</source>
        <translation>Переподключиться</translation>
    </message>
    <message>
        <source>Show channel list (F2, c)</source>
        <translation>Показать список каналов (F2, c)</translation>
    </message>
    <message>
        <source>Question</source>
        <translation>Вопрос</translation>
    </message>
    <message>
        <source>Player is still recording. Do you really wish to cancel this record?</source>
        <translation>Проигрыватель ещё записывает. Действительно прервать запись?</translation>
    </message>
    <message>
        <source>Playback Error</source>
        <translation>Ошибка воспроизведения</translation>
    </message>
    <message>
        <source>An error occured while trying to play FTP movie.</source>
        <translation>При попытке воспроизвести фильм с FTP произошла ошибка.</translation>
    </message>
    <message>
        <source>Default</source>
        <translation>По умолчанию</translation>
    </message>
    <message>
        <source>Aspect Ratio</source>
        <translation>Соотношение сторон</translation>
    </message>
    <message>
        <source>Crop</source>
        <translation>Обрезка</translation>
    </message>
    <message>
        <source>Warning</source>
        <translation>Предупреждение</translation>
    </message>
    <message>
        <source>series</source>
        <translation>серия</translation>
    </message>
</context>
<context>
    <name>PauseOrPlayAction</name>
    <message>
        <source>Pause (Space)</source>
        <translation>Пауза (Пробел)</translation>
    </message>
    <message>
        <source>Play (Space)</source>
        <translation>Воспроизвести (Пробел)</translation>
    </message>
</context>
<context>
    <name>PlaybackProgressWidget</name>
    <message>
        <source>Prev_marker (Ctrl+Left)</source>
        <translation>Шаг назад во времени (Ctrl+Влево)</translation>
    </message>
    <message>
        <source>Prev_in_prog_marker (Left)</source>
        <translation>К началу передачи или к предыдущей (Влево)</translation>
    </message>
    <message>
        <source>timeshift_start (Ctrl+S)</source>
        <translation>К началу передачи (Ctrl+S)</translation>
    </message>
    <message>
        <source>Next_in_prog_marker (Right)</source>
        <translation>К следующей передаче (Вправо)</translation>
    </message>
    <message>
        <source>Next_marker (Ctrl+Right)</source>
        <translation>Шаг вперёд во времени (Ctrl+Вправо)</translation>
    </message>
    <message>
        <source>timeshift_real (Ctrl+Z)</source>
        <translation>Прямой эфир (Ctrl+Z)</translation>
    </message>
    <message>
        <source>Prev series (Page Up)</source>
        <translation>Предыдущая серия (Page Up)</translation>
    </message>
    <message>
        <source>Next series (Page Down)</source>
        <translation>Следующая серия (Page Down)</translation>
    </message>
</context>
<context>
    <name>RecordAction</name>
    <message>
        <source>Start/Stop Recording</source>
        <translation>Начать/остановить запись</translation>
    </message>
    <message>
        <source>Select Output File</source>
        <translation>Выберите файл для записи</translation>
    </message>
    <message>
        <source>MPEG files (*.mpg *.mpeg *.ts)</source>
        <translation>Файлы MPEG (*.mpg *.mpeg *.ts)</translation>
    </message>
</context>
<context>
    <name>RecordController</name>
    <message>
        <source>Question</source>
        <translation>Вопрос</translation>
    </message>
    <message>
        <source>Do you really wish to cancel recording? Program will be removed from the recording schedule.</source>
        <translation>Вы действительно хотите прервать запись? Передача будет удалена из расписания записи.</translation>
    </message>
    <message>
        <source>Do you wish to switch the channel and start scheduled recording?</source>
        <translation>Переключить канал и начать запись по расписанию?</translation>
    </message>
    <message>
        <source>Do you wish to turn current recording off, switch the channel, and start scheduled recording?</source>
        <translation>Остановить текущую запись, переключить канал и начать запись по расписанию?</translation>
    </message>
    <message>
        <source>Telecast recording (&lt;b&gt;%1&lt;/b&gt; on &lt;b&gt;%2&lt;/b&gt;) is scheduled at %3.&lt;br/&gt;</source>
        <translation>Запись передачи (&lt;b&gt;%1&lt;/b&gt; на канале &lt;b&gt;%2&lt;/b&gt;) запланирована на %3.&lt;br/&gt;</translation>
    </message>
    <message>
        <source>&lt;br/&gt;To cancel scheduled telecast recording press &lt;b&gt;Reject&lt;/b&gt; button.</source>
        <translation>&lt;br/&gt;Чтобы отменить запись передачи, нажмите кнопку &lt;b&gt;Отклонить&lt;/b&gt;.</translation>
    </message>
    <message>
        <source>Reject</source>
        <translation>Отклонить</translation>
    </message>
    <message>
        <source>Warning</source>
        <translation>Предупреждение</translation>
    </message>
    <message>
        <source>Cannot access folder -- %1!
Scheduled recording will be cancelled.</source>
        <translation>Нет доступа к папке -- %1!
Запись по расписанию будет отменена.</translation>
    </message>
</context>
<context>
    <name>RecordTableManager</name>
    <message>
        <source>&lt;unknown&gt;</source>
        <translation>&lt;неизвестно&gt;</translation>
    </message>
    <message>
        <source>Question</source>
        <translation>Вопрос</translation>
    </message>
</context>
<context>
    <name>ScheduledRecordListAction</name>
    <message>
        <source>Show/hide scheduled recordings</source>
        <translation>Показать/скрыть запланированные записи</translation>
    </message>
</context>
<context>
    <name>ScheduledRecordListWidget</name>
    <message>
        <source>Channel</source>
        <translation>Канал</translation>
    </message>
    <message>
        <source>Telecast</source>
        <translation>Передача</translation>
    </message>
    <message>
        <source>Start Date</source>
        <translation>Начало</translation>
    </message>
    <message>
        <source>&lt;Unknown&gt;</source>
        <translation>&lt;Неизвестно&gt;</translation>
    </message>
    <message>
        <source>Cancel telecast recording</source>
        <translation>Отменить запись передачи</translation>
    </message>
</context>
<context>
    <name>SettingsDialog</name>
    <message>
        <source>Settings</source>
        <translation>Настройки</translation>
    </message>
    <message>
        <source>IPTV</source>
        <translation>IPTV</translation>
    </message>
    <message>
        <source>Network Interface:</source>
        <translation>Сетевой интерфейс:</translation>
    </message>
    <message>
        <source>Routing:</source>
        <translation>Маршрутизация:</translation>
    </message>
    <message>
        <source>Execute</source>
        <translation>Выполнить</translation>
    </message>
    <message>
        <source>Apply deinterlace filter</source>
        <translation>Применять фильтр деинтерлейсинга</translation>
    </message>
    <message>
        <source>Record folder:</source>
        <translation>Папка для записи:</translation>
    </message>
    <message>
        <source>Display channel numbers</source>
        <translation>Показывать номера каналов</translation>
    </message>
    <message>
        <source>Show close channel</source>
        <translation>Показывать закрытые каналы</translation>
    </message>
    <message>
        <source>Use GPU Acceleration</source>
        <translation>Использовать ускорение GPU</translation>
    </message>
    <message>
        <source>Additional</source>
        <translation>Дополнительно</translation>
    </message>
    <message>
        <source>Use global volume</source>
        <translation>Общая громкость для всех каналов</translation>
    </message>
    <message>
        <source>Pause on mimize</source>
        <translation>Пауза при сворачивании</translation>
    </message>
    <message>
        <source>Use Hot Keys</source>
        <translation>Использовать горячие клавиши</translation>
    </message>
    <message>
        <source>Close To Tray</source>
        <translation>Закрывать в трей</translation>
    </message>
    <message>
        <source>User Channels</source>
        <translation>Мои каналы</translation>
    </message>
    <message>
        <source>Enable user channels</source>
        <translation>Включить мой список каналов</translation>
    </message>
    <message>
        <source>Enable user global channel list</source>
        <translation>Включить общий список каналов пользователя</translation>
    </message>
    <message>
        <source>Avaible channel list:</source>
        <translation>Доступные каналы:</translation>
    </message>
    <message>
        <source>User channel list:</source>
        <translation>Мой список каналов:</translation>
    </message>
    <message>
        <source>Move to right</source>
        <translation>Вправо</translation>
    </message>
    <message>
        <source>Move to left</source>
        <translation>Влево</translation>
    </message>
    <message>
        <source>Move all to right</source>
        <translation>Все вправо</translation>
    </message>
    <message>
        <source>Move all to left</source>
        <translation>Все влево</translation>
    </message>
    <message>
        <source>Move up</source>
        <translation>Вверх</translation>
    </message>
    <message>
        <source>Move down</source>
        <translation>Вниз</translation>
    </message>
    <message>
        <source>Select directory where to save scheduled recordings</source>
        <translation>Выберите папку для записей по расписанию</translation>
    </message>
    <message>
        <source>Routing</source>
        <translation>Маршрутизация</translation>
    </message>
    <message>
        <source>The routes have been changed.</source>
        <translation>Маршруты изменены.</translation>
    </message>
    <message>
        <source>The routes could not be changed: the command ended with code %1.</source>
        <translation>Маршруты не изменены: команда завершилась с кодом %1.</translation>
    </message>
    <message>
        <source>You must restart player to apply changes for user channels!</source>
        <translation>Перезапустите плеер, чтобы применить изменения списка каналов!</translation>
    </message>
</context>
<context>
    <name>ShowTvProgramAction</name>
    <message>
        <source>Hide TV program (F3, t)</source>
        <translation>Скрыть телепрограмму (F3, t)</translation>
    </message>
    <message>
        <source>Show TV program (F3, t)</source>
        <translation>Показать телепрограмму (F3, t)</translation>
    </message>
</context>
<context>
    <name>StatisticsWindow</name>
    <message>
        <source>Statistics</source>
        <translation>Статистика</translation>
    </message>
    <message>
        <source>Input stream</source>
        <translation>Входной поток</translation>
    </message>
    <message>
        <source>Packets read:</source>
        <translation>Прочитано пакетов:</translation>
    </message>
    <message>
        <source>Bytes read:</source>
        <translation>Прочитано байт:</translation>
    </message>
    <message>
        <source>Current bitrate:</source>
        <translation>Текущий битрейт:</translation>
    </message>
    <message>
        <source>Demux</source>
        <translation>Демультиплексор</translation>
    </message>
    <message>
        <source>Corrupted:</source>
        <translation>Повреждено:</translation>
    </message>
    <message>
        <source>Discontinuities:</source>
        <translation>Разрывов:</translation>
    </message>
    <message>
        <source>Video</source>
        <translation>Видео</translation>
    </message>
    <message>
        <source>Blocks decoded:</source>
        <translation>Декодировано блоков:</translation>
    </message>
    <message>
        <source>Frames displayed:</source>
        <translation>Показано кадров:</translation>
    </message>
    <message>
        <source>Frames lost:</source>
        <translation>Потеряно кадров:</translation>
    </message>
    <message>
        <source>Audio</source>
        <translation>Звук</translation>
    </message>
    <message>
        <source>Buffers played</source>
        <translation>Воспроизведено буферов</translation>
    </message>
    <message>
        <source>Buffers lost:</source>
        <translation>Потеряно буферов:</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Закрыть</translation>
    </message>
    <message>
        <source> k</source>
        <translation> к</translation>
    </message>
    <message>
        <source> M</source>
        <translation> М</translation>
    </message>
    <message>
        <source> G</source>
        <translation> Г</translation>
    </message>
    <message>
        <source> kbit/s</source>
        <translation> кбит/с</translation>
    </message>
</context>
<context>
    <name>StopVideoAction</name>
    <message>
        <source>Stop playback</source>
        <translation>Остановить воспроизведение</translation>
    </message>
</context>
<context>
    <name>StreamRecorder</name>
    <message>
        <source>The recording folder %1 has disappeared.</source>
        <translation>Папка записи %1 исчезла.</translation>
    </message>
    <message>
        <source>The disk of %1 is full.</source>
        <translation>Диск папки %1 заполнен.</translation>
    </message>
</context>
<context>
    <name>TTVServerManager</name>
    <message>
        <source>Error authorize. Please call for support</source>
        <translation>Ошибка авторизации. Обратитесь в службу поддержки</translation>
    </message>
    <message>
        <source>Error connect to server. Please call for support</source>
        <translation>Ошибка подключения к серверу. Обратитесь в службу поддержки</translation>
    </message>
    <message>
        <source>Error user is blocked. In your acaunt %1 rub.</source>
        <translation>Пользователь заблокирован. На вашем счёте %1 руб.</translation>
    </message>
    <message>
        <source>Error user is blocked</source>
        <translation>Пользователь заблокирован</translation>
    </message>
    <message>
        <source>Network error</source>
        <translation>Ошибка сети</translation>
    </message>
</context>
<context>
    <name>TrayController</name>
    <message>
        <source>Hide Player</source>
        <translation>Скрыть проигрыватель</translation>
    </message>
    <message>
        <source>Quit</source>
        <translation>Выход</translation>
    </message>
    <message>
        <source>Restore Player</source>
        <translation>Восстановить проигрыватель</translation>
    </message>
    <message>
        <source>%1 was hidden to system tray and playback has been paused. You can always restore it by double-clicking on icon in tray, or clicking on it with right mouse and selecting Restore Player from context menu.</source>
        <translation>%1 свёрнут в системный лоток, воспроизведение приостановлено. Восстановить окно можно двойным щелчком по значку в лотке или пунктом «Восстановить проигрыватель» его контекстного меню.</translation>
    </message>
</context>
<context>
    <name>TvlcMediaPlayer</name>
    <message>
        <source>Error encountered while retrieving data from FTP</source>
        <translation>Ошибка при получении данных с FTP</translation>
    </message>
</context>
<context>
    <name>UpdateProgressWindow</name>
    <message>
        <source>Update</source>
        <translation>Обновление</translation>
    </message>
    <message>
        <source>Update: </source>
        <translation>Обновление: </translation>
    </message>
    <message>
        <source>Change log:</source>
        <translation>Список изменений:</translation>
    </message>
    <message>
        <source>Внимание! После завершения обновления новая версия запустится автоматически.</source>
        <translation>Внимание! После завершения обновления новая версия запустится автоматически.</translation>
    </message>
    <message>
        <source>Progress:</source>
        <translation>Ход загрузки:</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Отмена</translation>
    </message>
    <message>
        <source>Update</source>
        <comment>button</comment>
        <translation>Обновить</translation>
    </message>
</context>
<context>
    <name>UpdateService</name>
    <message>
        <source>Cannot recognize version on server: %1</source>
        <translation>Не удаётся распознать версию на сервере: %1</translation>
    </message>
    <message>
        <source>Cannot download file, error: %1</source>
        <translation>Не удаётся загрузить файл, ошибка: %1</translation>
    </message>
    <message>
        <source>Cannot open file for reading: %1</source>
        <translation>Не удаётся открыть файл для чтения: %1</translation>
    </message>
    <message>
        <source>Error occured while checking for updates</source>
        <translation>Ошибка при проверке обновлений</translation>
    </message>
    <message>
        <source>The downloaded update does not match the checksum (SHA-256) published by the update server: it is damaged or not genuine. Nothing was installed.</source>
        <translation>Загруженное обновление не совпадает с контрольной суммой (SHA-256), опубликованной сервером обновлений: оно повреждено или подделано. Ничего не установлено.</translation>
    </message>
    <message>
        <source>Error occured while unpacking ZIP-archive, return code = %1</source>
        <translation>Ошибка при распаковке ZIP-архива, код возврата = %1</translation>
    </message>
    <message>
        <source>Cannot run unpacked (fresh) version of application</source>
        <translation>Не удаётся запустить распакованную (новую) версию программы</translation>
    </message>
    <message>
        <source>Wrong command-line arguments.</source>
        <translation>Неверные аргументы командной строки.</translation>
    </message>
    <message>
        <source>Application PID invalid: %1. Wrong command-line argument.</source>
        <translation>Неверный PID программы: %1. Неверный аргумент командной строки.</translation>
    </message>
    <message>
        <source>Extract directory does not exists: %1. Wrong command-line argument.</source>
        <translation>Папка распаковки не существует: %1. Неверный аргумент командной строки.</translation>
    </message>
    <message>
        <source>Target directory does not exists: %1. Wrong command-line argument.</source>
        <translation>Папка установки не существует: %1. Неверный аргумент командной строки.</translation>
    </message>
    <message>
        <source>Copy error: %1 =&gt; %2</source>
        <translation>Ошибка копирования: %1 =&gt; %2</translation>
    </message>
    <message>
        <source>Could not start fresh version</source>
        <translation>Не удаётся запустить новую версию</translation>
    </message>
</context>
<context>
    <name>VersionChangesDialog</name>
    <message>
        <source>Don&apos;t show this dialog at startup</source>
        <translation>Не показывать это окно при запуске</translation>
    </message>
    <message>
        <source>What&apos;s new</source>
        <translation>Что нового</translation>
    </message>
    <message>
        <source>New features</source>
        <translation>Новые возможности</translation>
    </message>
    <message>
        <source>&lt;ul&gt;&lt;li&gt;Timeshift: watch what ran up to a week ago.&lt;/li&gt;&lt;li&gt;Recording of the channel you watch and of telecasts picked in the programme guide.&lt;/li&gt;&lt;li&gt;Search over the programme guide of all channels.&lt;/li&gt;&lt;/ul&gt;</source>
        <translation>&lt;ul&gt;&lt;li&gt;Сдвиг времени: смотрите то, что шло до недели назад.&lt;/li&gt;&lt;li&gt;Запись текущего канала и передач, выбранных в телепрограмме.&lt;/li&gt;&lt;li&gt;Поиск по телепрограмме всех каналов.&lt;/li&gt;&lt;/ul&gt;</translation>
    </message>
    <message>
        <source>Important notice:</source>
        <translation>Важно:</translation>
    </message>
</context>
<context>
    <name>VideoOrPortalAction</name>
    <message>
        <source>Switch back to portal</source>
        <translation>Вернуться к порталу</translation>
    </message>
    <message>
        <source>Switch to movie</source>
        <translation>Перейти к фильму</translation>
    </message>
</context>
<context>
    <name>main</name>
    <message>
        <source>Log file cannot be opened</source>
        <translation>Не удаётся открыть файл журнала</translation>
    </message>
    <message>
        <source>Cannot create shared memory segment!</source>
        <translation>Не удаётся создать сегмент разделяемой памяти!</translation>
    </message>
    <message>
        <source>Update error</source>
        <translation>Ошибка обновления</translation>
    </message>
    <message>
        <source>Network Error</source>
        <translation>Ошибка сети</translation>
    </message>
</context>
</TS>
